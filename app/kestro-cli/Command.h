#pragma once

#include "CliSession.h"

#include <QCommandLineParser>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace kestro::cli {

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

// One kestro-cli command: its name, what it takes, and what it does. `run`
// returns the exit status; a CatalogError it throws is reported on stderr.
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
};

// The command table; every group of commands adds itself in Commands.cpp.
std::vector<Command>& commandTable();

// Writes to stdout or stderr as UTF-8.
void printOut(const QString& text);
void printError(const QString& text);

// A value for TAB-separated output: a TAB or line break inside it would split
// its line or field, so each becomes a space.
QString outputField(QString text);

} // namespace kestro::cli
