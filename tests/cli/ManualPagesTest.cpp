// The manual pages as man shows them: every command and option that the
// programs' --help names, and nothing groff complains of.

#include "CliRunner.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kestro::test::ProgramRun;
using kestro::test::runCli;
using kestro::test::runProgram;

namespace {

// A page as man renders it for an 80-column terminal.
QString rendered(const QString& page) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C.UTF-8");
    environment.insert("MANWIDTH", "80");
    const ProgramRun man = runProgram("man", {"--warnings", "--local-file", page}, environment);
    EXPECT_EQ(man.exitCode, 0);
    EXPECT_EQ(man.err, "") << "groff's warnings";
    return man.out;
}

// The long options a --help text lists.
QStringList optionsOf(const QString& help) {
    QStringList options;
    static const QRegularExpression option("^  (?:-\\w, )?(--[\\w-]+)",
                                           QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch& match : option.globalMatch(help))
        options << match.captured(1);
    return options;
}

} // namespace

TEST(ManualPages, TheCommandLinePageHoldsEveryCommandWithItsOptions) {
    const QString page = rendered(KESTRO_CLI_MANUAL_PAGE);
    QTemporaryDir home;
    const QString help = runProgram(KESTRO_CLI, {"--help"}).out;
    const QString commandList = help.section("Commands:\n", 1).section("\n\n", 0, 0);
    QStringList commands;
    for (const QString& line : commandList.split('\n'))
        commands << line.section(' ', 2, 2);
    ASSERT_GE(commands.size(), 9) << help.toStdString();

    for (const QString& command : commands) {
        SCOPED_TRACE(command.toStdString());
        // The command's part of the page: from its heading to the next one.
        const qsizetype start = page.indexOf(QRegularExpression(
            "^   " + command + " \\[options\\]", QRegularExpression::MultilineOption));
        ASSERT_GE(start, 0) << page.toStdString();
        const QString part =
            page.mid(start, page.indexOf(QRegularExpression("\n {0,3}\\S"), start + 1) - start);
        // The options every command takes have a section of their own.
        for (const QString& option : optionsOf(runCli(home.path(), {command, "--help"}).out)) {
            if (!QStringList{"--help", "--catalog", "--home"}.contains(option)) {
                EXPECT_TRUE(part.contains("       " + option)) << option.toStdString();
            }
        }
    }
    for (const char* common : {"--help", "--catalog PATH", "--home DIR"})
        EXPECT_TRUE(page.section("\nOPTIONS\n", 1).contains(common)) << common;
    for (const char* status : {"0", "1", "2"})
        EXPECT_TRUE(page.section("\nEXIT STATUS", 1).contains(QString("\n       %1  ").arg(status)))
            << status;
    for (const char* file : {"Kestro.ini", "~/.local/share/kestro/", "*.mdb"})
        EXPECT_TRUE(page.section("\nFILES\n", 1).contains(file)) << file;
}

TEST(ManualPages, TheDesktopProgramsPageHoldsItsOptions) {
    const QString page = rendered(KESTRO_MANUAL_PAGE);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    const QStringList options = optionsOf(runProgram(KESTRO, {"--help"}, environment).out);
    ASSERT_EQ(options, (QStringList{"--help", "--quit-after-start"}));
    for (const QString& option : options)
        EXPECT_TRUE(page.section("\nOPTIONS\n", 1).contains(option)) << option.toStdString();
}
