#include "CliRunner.h"
#include "catalog/Schema.h"
#include "platform/IniFile.h"
#include "support/CatalogFixture.h"

#include <QDir>
#include <QProcess>
#include <csignal>
#include <random>

using namespace kestro;
using kestro::test::at;
using kestro::test::runCli;

namespace {

// Two volumes, Disk1 and Disk2, in the catalog c.mdb of the program folder.
class CliSearch : public test::CatalogFixture {
protected:
    QString disk1, disk2;

    void SetUp() override {
        test::makeFile(folder("one"), "DOCS/report 1998.doc", 1500, at(1998, 12, 25, 22, 5));
        test::makeFile(folder("one"), "A.TXT", 1234 * 1024, at(1999, 1, 2, 9, 30));
        test::makeFile(folder("two"), "Report.txt", 10, at(2003, 2, 1, 12, 0));
        disk1 = catalogAs("one", "Disk1", 'Z');
        disk2 = catalogAs("two", "Disk2", 'Y');
    }
    test::CliResult cli(const QString& command, QStringList arguments) const {
        return runCli(home.path(), QStringList{command, "--catalog", catalogPath} + arguments);
    }
};

} // namespace

TEST_F(CliSearch, OneTabSeparatedLinePerResultOrTheExportsCsvAndTheTotalsOnStderr) {
    describe(disk1, "files", "report 1998.doc", "first\nsecond\tthird");
    const auto r = cli("search", {"--name", "report"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Disk1\tZ:\\DOCS\treport 1998.doc\t2KB\t12/25/98 10:05pm\tfirst second third\n"
                     "Disk2\tY:\tReport.txt\t1KB\t2/1/03 12:00pm\t\n");
    EXPECT_EQ(r.err, "0 folders / 2 files found -- Search Completed Successfully\n");

    const auto csv = cli("search", {"--csv", "--name", "a.txt", "--files"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    EXPECT_TRUE(
        csv.out.startsWith("\"Filename\",\"Path\",\"Volume\",\"Size\",\"Modified date\","
                           "\"Description\",\"Type\"\r\n\"A.TXT\",\"Z:\",\"Disk1\",\"1234\","
                           "\"1/2/99 9:30:00 am\",\"\","))
        << csv.out.toStdString();
    EXPECT_EQ(csv.out.count("\r\n"), 2);
}

TEST_F(CliSearch, DatesSizesKindsAndVolumes) {
    auto names = [&](QStringList arguments) {
        const auto r = cli("search", arguments);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        QStringList found;
        for (const QString& line : r.out.split('\n', Qt::SkipEmptyParts))
            found << line.section('\t', 2, 2);
        return found;
    };
    EXPECT_EQ(names({"--between", "1/3/99", "12/1/98", "--files"}),
              (QStringList{"A.TXT", "report 1998.doc"}));
    EXPECT_EQ(names({"--between", "25/12/98", "25/12/98", "--european"}),
              QStringList{"report 1998.doc"});
    EXPECT_EQ(names({"--size-at-least", "1,000", "--files"}), QStringList{"A.TXT"});
    EXPECT_EQ(names({"--size-equal", "1", "--volume", "Disk2"}), (QStringList{"Y:", "Report.txt"}));
    EXPECT_EQ(names({"--folders", "--volume", "Disk1", "--volume", "Disk2"}),
              (QStringList{"Z:", "DOCS", "Y:"}));

    IniFile(home.filePath("Kestro.ini")).setValue("Options", "oDateFormat", "1");
    const auto european = cli("search", {"--between", "1/2/2003", "1/2/2003"});
    EXPECT_EQ(european.out.section('\t', 4, 4), "1/2/2003 12:00:00 pm")
        << "dates typed and shown day first";
}

TEST_F(CliSearch, BadCriteriaAreUsageErrors) {
    for (const QStringList& arguments :
         {QStringList{"--between", "1/1/99"}, QStringList{"--between", "1/1/99", "13/13/99"},
          QStringList{"--size-at-most", "many"},
          QStringList{"--size-at-least", "1", "--size-equal", "2"}, QStringList{"stray"}}) {
        const auto r = cli("search", arguments);
        EXPECT_EQ(r.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    const auto unknown = cli("search", {"--volume", "Nowhere"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_EQ(unknown.err, "The catalog has no volume \"Nowhere\".\n");
}

TEST_F(CliSearch, CtrlCStopsTheSearchCleanly) {
    for (int i = 0; i < 300; ++i)
        test::makeFile(folder("many"), QString("file %1.txt").arg(i), 1);
    const QString many = catalogAs("many", "Many", 'X');
    // Long lines fill the pipe, so the search waits for the reader while Ctrl+C comes.
    db().execute("UPDATE " + quoteIdentifier(schema::filesTable(many)) + " SET thedescription = ?1",
                 QString(20000, 'd'));
    QProcess process;
    process.start(KESTRO_CLI, {"search", "--home", home.path(), "--catalog", catalogPath, "--name",
                               "file", "--volume", "Many"});
    ASSERT_TRUE(process.waitForReadyRead(30000));
    ::kill(pid_t(process.processId()), SIGINT);
    QByteArray out;
    while (process.state() != QProcess::NotRunning || process.bytesAvailable() > 0) {
        process.waitForReadyRead(1000);
        out += process.readAllStandardOutput();
    }
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1);
    const qsizetype lines = out.count('\n');
    EXPECT_GT(lines, 0);
    EXPECT_LT(lines, 300);
    EXPECT_EQ(QString(process.readAllStandardError()),
              QString("0 folders / %1 files found -- Search ABORTED by user\n").arg(lines));
}

TEST_F(CliSearch, ExportWritesWhatTheDialogWritesAndNamesTheFiles) {
    QTemporaryDir out;
    const auto r = cli("export", {"--out", out.path(), "--volume", "Disk2", "--fields", "name,size",
                                  "--tabs", "--no-quotes"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Wrote " + out.filePath("Disk2.cdf") + "\n");
    EXPECT_TRUE(test::readAll(out.filePath("Disk2.cdf")).endsWith("\r\nReport.txt\t1\r\n"));

    const auto printout = cli("export", {"--out", out.path(), "--print", "--no-headers"});
    EXPECT_EQ(printout.out,
              "Wrote " + out.filePath("Disk1.txt") + "\nWrote " + out.filePath("Disk2.txt") + "\n");
    EXPECT_TRUE(test::readAll(out.filePath("Disk1.txt")).startsWith("Volume: Disk1\r\n\r\n"));

    EXPECT_EQ(cli("export", {}).exitCode, 2) << "no --out";
    const auto field = cli("export", {"--out", out.path(), "--fields", "name,colour"});
    EXPECT_EQ(field.exitCode, 2);
    EXPECT_EQ(field.err, "There is no field \"colour\".\n");
}

// The options every command takes may come first, as in git; a folder to
// export to is made; --help tells the exit statuses.
TEST_F(CliSearch, CommonOptionsBeforeTheCommandAFolderMadeForTheExportExitStatusesInTheHelp) {
    // "--catalog PATH" or "--catalog=PATH" (and --home) before the command.
    const auto before =
        runCli(home.path(), {"--catalog", catalogPath, "search", "--name", "a.txt"});
    EXPECT_EQ(before.exitCode, 0) << before.err.toStdString();
    EXPECT_EQ(before.out, cli("search", {"--name", "a.txt"}).out);
    EXPECT_TRUE(before.out.contains("A.TXT"));
    EXPECT_EQ(runCli(home.path(), {"--catalog=" + catalogPath, "volumes"}).out.count('\n'), 2);

    QTemporaryDir out;
    const auto made = cli("export", {"--out", out.filePath("new/folder"), "--volume", "Disk2"});
    EXPECT_EQ(made.exitCode, 0) << made.err.toStdString();
    EXPECT_TRUE(QFile::exists(out.filePath("new/folder/Disk2.cdf")));
    test::writeAll(out.filePath("file"), "x");
    const auto unmade = cli("export", {"--out", out.filePath("file/folder")});
    EXPECT_EQ(unmade.exitCode, 1);
    EXPECT_EQ(unmade.err, "The folder " + out.filePath("file/folder") + " can't be made.\n");

    for (const QStringList& help : {QStringList{"--help"}, QStringList{"ls", "--help"}})
        EXPECT_TRUE(runCli(home.path(), help)
                        .out.contains("Exit status:\n  0  The command did what it was asked."))
            << help.join(' ').toStdString();
}

// Pages overwritten with noise: every command names the file, says that it
// is damaged, exits with 1, and leaves the file as it was.
TEST_F(CliSearch, ADamagedCatalogIsNamedAndLeftAsItIs) {
    QFile file(catalogPath);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_GT(file.size(), 3 * 4096);
    std::mt19937 noise(7);
    QByteArray bytes(int(file.size() - 2 * 4096), '\0');
    for (char& byte : bytes)
        byte = char(noise());
    file.seek(2 * 4096);
    file.write(bytes);
    file.close();
    const QByteArray damaged = test::readAll(catalogPath);
    QTemporaryDir out;
    for (const QStringList& command : {QStringList{"info"},
                                       {"volumes"},
                                       {"ls", "Disk1"},
                                       {"search", "--name", "a"},
                                       {"export", "--out", out.path()},
                                       {"sweep"},
                                       {"compact"}}) {
        const auto r = cli(command[0], command.mid(1));
        EXPECT_EQ(r.exitCode, 1) << command.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("The catalog \"" + catalogPath + "\" is damaged"))
            << r.err.toStdString();
        EXPECT_EQ(test::readAll(catalogPath), damaged) << command.join(' ').toStdString();
    }
}
