#pragma once

#include "CliSession.h"

#include <QCommandLineParser>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace kestro::cli {

// The exit status of a command line that is wrong: an unknown command or
// option, a missing or unreadable argument.
inline constexpr int kUsageError = 2;

// What a command is given when it runs: its parsed arguments and, made on
// first use, the session of the program folder and catalog it acts on.
class Invocation {
public:
    explicit Invocation(const QCommandLineParser& parser) : parser_(parser) {}

    const QCommandLineParser& parser() const { return parser_; }
    QStringList positional() const { return parser_.positionalArguments(); }
    CliSession& session();

private:
    const QCommandLineParser& parser_;
    std::unique_ptr<CliSession> session_;
};

// What the shell completion offers for an argument or an option's value.
enum class Completion { Nothing, File, Folder, Volume, ExportFields };

// One kestro-cli command: its name, what it takes, and what it does. `run`
// returns the exit status; a CatalogError it throws is reported on stderr.
// The texts are what --help prints and what the manual page says.
struct Command {
    QString name;
    QString summary;
    QString syntax; // positional arguments, for the usage line
    std::vector<QCommandLineOption> options;
    int minArguments = 0;
    int maxArguments = 0;
    std::function<int(Invocation&)> run;
    // Options that take two values, "--between A B"; the parser gives both.
    QStringList twoValueOptions = {};
    // What the shell completion offers for each positional argument, in order.
    std::vector<Completion> arguments = {};
};

// The command table; every group of commands adds itself in Commands.cpp.
std::vector<Command>& commandTable();

// What the shell completion offers for the value of an option of any command:
// an option name means the same in every command.
Completion completionOfOption(const QCommandLineOption& option);

// --json, for the commands that can write their results as JSON Lines (see
// JsonLine.h); `fields` names the fields of each object, for the help.
QCommandLineOption jsonOption(const QString& fields);
bool jsonRequested(const Invocation& call);

// Writes to stdout or stderr as UTF-8.
void printOut(const QString& text);
void printError(const QString& text);

// A value for TAB-separated output: a TAB or line break inside it would split
// its line or field, so each becomes a space.
QString outputField(QString text);

} // namespace kestro::cli
