#include "HelpTexts.h"

namespace kestro::cli {

const std::vector<QCommandLineOption>& commonOptions() {
    static const std::vector<QCommandLineOption> options = {
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")},
        {QStringLiteral("catalog"), QStringLiteral("Work on this catalog file."),
         QStringLiteral("PATH")},
        {QStringLiteral("home"), QStringLiteral("Use this program folder."), QStringLiteral("DIR")},
    };
    return options;
}

QString commonOptionsNote() {
    return QStringLiteral("Every command acts on the current catalog of the settings file unless "
                          "--catalog PATH names another, and on the program folder unless --home "
                          "DIR names another; both may also stand before the command.");
}

const std::vector<ExitStatus>& exitStatuses() {
    static const std::vector<ExitStatus> statuses = {
        {0, QStringLiteral("The command did what it was asked.")},
        {1, QStringLiteral("It failed or was stopped; stderr says why.")},
        {kUsageError, QStringLiteral("The command line was wrong: an unknown command or option, "
                                     "a missing or unreadable argument.")},
    };
    return statuses;
}

QString commandListText() {
    QString text = QStringLiteral("Usage: kestro-cli COMMAND [OPTIONS] [ARGUMENTS]\n\n"
                                  "Commands:\n");
    for (const Command& command : commandTable())
        text += QStringLiteral("  %1 %2\n").arg(command.name, -10).arg(command.summary);
    return text + QLatin1Char('\n') + commonOptionsNote() +
           QStringLiteral(" 'kestro-cli COMMAND --help' tells more.\n") + exitStatusText();
}

QString exitStatusText() {
    QString text = QStringLiteral("\nExit status:\n");
    for (const ExitStatus& status : exitStatuses())
        text += QStringLiteral("  %1  %2\n").arg(status.code).arg(status.meaning);
    return text;
}

QString commandHelpText(const Command& command) {
    QCommandLineParser parser;
    parser.addOptions({commonOptions().begin(), commonOptions().end()});
    parser.addOptions({command.options.begin(), command.options.end()});
    // The usage line names the command; the rest is the parser's option list.
    const QString options = parser.helpText();
    return QStringLiteral("Usage: kestro-cli %1 [options] %2\n%3\n")
               .arg(command.name, command.syntax, command.summary) +
           options.mid(options.indexOf(QLatin1String("\nOptions:"))) + exitStatusText();
}

} // namespace kestro::cli
