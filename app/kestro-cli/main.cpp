// kestro-cli: the catalog work of Kestro Pro without a display. Results go to
// stdout, progress and messages to stderr; the exit status is 0 on success.

#include "Command.h"
#include "catalog/CatalogError.h"

#include <QCoreApplication>
#include <algorithm>

using namespace kestro::cli;

namespace {

constexpr int kUsageError = 2;

const QString kExitStatuses =
    QStringLiteral("\nExit status: 0 when the command did its work; 1 when "
                   "it could not (the message says why);\n2 when the "
                   "command line was wrong.\n");

// The options every command takes, which may also stand before the command.
const QStringList kCommonOptions = {QStringLiteral("--catalog"), QStringLiteral("--home")};

void printCommandList() {
    QString text = QStringLiteral("Usage: kestro-cli COMMAND [OPTIONS] [ARGUMENTS]\n\n"
                                  "Commands:\n");
    for (const Command& command : commandTable())
        text += QStringLiteral("  %1 %2\n").arg(command.name, -10).arg(command.summary);
    text += QStringLiteral("\nEvery command acts on the current catalog of the settings file "
                           "unless --catalog PATH names another,\nand on the program folder "
                           "unless --home DIR names another. "
                           "'kestro-cli COMMAND --help' tells more.\n");
    printOut(text + kExitStatuses);
}

// "--catalog X.mdb search --name a" becomes "search --catalog X.mdb --name a":
// the options every command takes go after the command, as it expects them.
QStringList commandFirst(const QStringList& arguments) {
    QStringList common;
    qsizetype i = 1;
    while (i < arguments.size()) {
        const QString& argument = arguments[i];
        const bool withValue = kCommonOptions.contains(argument);
        const bool joined =
            std::any_of(kCommonOptions.begin(), kCommonOptions.end(),
                        [&](const QString& o) { return argument.startsWith(o + '='); });
        if (!withValue && !joined)
            break;
        common << arguments.mid(i, withValue ? 2 : 1);
        i += withValue ? 2 : 1;
    }
    QStringList reordered = arguments.mid(0, 1);
    if (i < arguments.size())
        reordered << arguments[i];
    return reordered + common + arguments.mid(i + 1);
}

// "--between A B" becomes "--between A --between B": the parser takes one
// value an option, and so gives both values of a two-value option.
QStringList spreadTwoValueOptions(const QStringList& arguments, const QStringList& names) {
    QStringList spread;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        spread << arguments[i];
        const bool twoValues =
            arguments[i].startsWith(QLatin1String("--")) && names.contains(arguments[i].mid(2));
        if (twoValues && i + 2 < arguments.size()) {
            spread << arguments[i + 1] << arguments[i];
            ++i;
        }
    }
    return spread;
}

int runCommand(const Command& command, QStringList arguments) {
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    parser.addOption({QStringLiteral("catalog"), QStringLiteral("Work on this catalog file."),
                      QStringLiteral("PATH")});
    parser.addOption({QStringLiteral("home"), QStringLiteral("Use this program folder."),
                      QStringLiteral("DIR")});
    parser.addOptions({command.options.begin(), command.options.end()});
    arguments.removeAt(1);
    arguments = spreadTwoValueOptions(arguments, command.twoValueOptions);
    // The usage line names the command; the rest is the parser's option list.
    QString usage = parser.helpText();
    usage = QStringLiteral("Usage: kestro-cli %1 [options] %2\n%3\n")
                .arg(command.name, command.syntax, command.summary) +
            usage.mid(usage.indexOf(QLatin1String("\nOptions:"))) + kExitStatuses;
    if (!parser.parse(arguments)) {
        printError(parser.errorText() + QLatin1Char('\n') + usage);
        return kUsageError;
    }
    if (parser.isSet(help)) {
        printOut(usage);
        return 0;
    }
    const qsizetype count = parser.positionalArguments().size();
    if (count < command.minArguments || count > command.maxArguments) {
        printError(usage);
        return kUsageError;
    }
    Invocation invocation(parser);
    try {
        return command.run(invocation);
    } catch (const kestro::CatalogError& e) {
        printError(e.message() + QLatin1Char('\n'));
        return 1;
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestro-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0v15"));
    const QStringList arguments = commandFirst(QCoreApplication::arguments());
    if (arguments.size() < 2 || arguments[1] == QLatin1String("--help") ||
        arguments[1] == QLatin1String("-h") || arguments[1] == QLatin1String("help")) {
        printCommandList();
        return arguments.size() < 2 ? kUsageError : 0;
    }
    for (const Command& command : commandTable())
        if (command.name == arguments[1])
            return runCommand(command, arguments);
    printError(QStringLiteral("kestro-cli: unknown command \"%1\"\n").arg(arguments[1]));
    printCommandList();
    return kUsageError;
}
