#pragma once

#include <QString>
#include <QStringList>

namespace kestro::test {

// What one run of kestro-cli gave back.
struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the built kestro-cli with `arguments`, in the program folder `home`
// (given as --home after the other arguments).
CliResult runCli(const QString& home, QStringList arguments);

} // namespace kestro::test
