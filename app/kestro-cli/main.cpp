// kestro-cli: the catalog work of Kestro Pro without a display. Results go to
// stdout, progress and messages to stderr; the exit status is 0 on success.

#include "Command.h"
#include "HelpTexts.h"
#include "catalog/CatalogError.h"

#include <QCoreApplication>
#include <algorithm>

using namespace kestro::cli;

namespace {

// "--catalog X.mdb search --name a" becomes "search --catalog X.mdb --name a":
// the options every command takes go after the command, as it expects them.
QStringList commandFirst(const QStringList& arguments) {
    QStringList valued; // --catalog and --home
    for (const QCommandLineOption& option : commonOptions())
        if (!option.valueName().isEmpty())
            valued << QStringLiteral("--") + option.names().constLast();
    QStringList common;
    qsizetype i = 1;
    while (i < arguments.size()) {
        const QString& argument = arguments[i];
        const bool withValue = valued.contains(argument);
        const bool joined = std::any_of(valued.begin(), valued.end(), [&](const QString& o) {
            return argument.startsWith(o + '=');
        });
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
        // An option after it ("--map Q --home=DIR") is not its second value.
        if (twoValues && i + 2 < arguments.size() &&
            !arguments[i + 2].startsWith(QLatin1String("--"))) {
            spread << arguments[i + 1] << arguments[i];
            ++i;
        }
    }
    return spread;
}

int runCommand(const Command& command, QStringList arguments) {
    QCommandLineParser parser;
    parser.addOptions({commonOptions().begin(), commonOptions().end()});
    parser.addOptions({command.options.begin(), command.options.end()});
    arguments.removeAt(1);
    arguments = spreadTwoValueOptions(arguments, command.twoValueOptions);
    const QString usage = commandHelpText(command);
    if (!parser.parse(arguments)) {
        printError(parser.errorText() + QLatin1Char('\n') + usage);
        return kUsageError;
    }
    if (parser.isSet(QStringLiteral("help"))) {
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
        printOut(commandListText());
        return arguments.size() < 2 ? kUsageError : 0;
    }
    for (const Command& command : commandTable())
        if (command.name == arguments[1])
            return runCommand(command, arguments);
    printError(QStringLiteral("kestro-cli: unknown command \"%1\"\n").arg(arguments[1]));
    printOut(commandListText());
    return kUsageError;
}
