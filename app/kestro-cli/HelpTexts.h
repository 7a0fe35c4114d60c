#pragma once

#include "Command.h"

#include <QString>
#include <vector>

namespace kestro::cli {

// What kestro-cli's --help prints. The manual page is made from the same
// texts when the program is built, so the two always agree.

// -h/--help, --catalog PATH and --home DIR: every command takes them.
const std::vector<QCommandLineOption>& commonOptions();
// The common options' effect, in a sentence.
QString commonOptionsNote();

struct ExitStatus {
    int code;
    QString meaning;
};
const std::vector<ExitStatus>& exitStatuses();
// The exit statuses as the end of a --help text.
QString exitStatusText();

// `kestro-cli --help`: the usage line, the commands with their summaries,
// the common options' note and the exit statuses.
QString commandListText();
// `kestro-cli COMMAND --help`: the usage line, the summary, the options and
// the exit statuses.
QString commandHelpText(const Command& command);

} // namespace kestro::cli
