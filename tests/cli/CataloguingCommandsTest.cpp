#include "CliRunner.h"
#include "catalog/Catalog.h"
#include "catalog/HostedNameIndex.h"
#include "catalog/Schema.h"
#include "platform/IniFile.h"
#include "support/PrivatePostgres.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestro;
using kestro::test::runCli;

namespace {

struct CliVolume : ::testing::Test {
    QTemporaryDir home, volume;
    void SetUp() override {
        QDir(volume.path()).mkpath("GAMES/DOOM");
        test::writeAll(volume.filePath("readme.txt"), "hello");
        test::writeAll(volume.filePath("GAMES/DOOM/it's 100%.sav"), QByteArray(3000, 'x'));
    }
};

} // namespace

TEST_F(CliVolume, CataloguingIntoAHostedCatalogEndsOnceItsNamesAreIndexed) {
    const QString hosted = test::PrivatePostgres::instance().createDatabase();
    ASSERT_EQ(runCli(home.path(), {"new", hosted}).exitCode, 0);
    const auto made =
        runCli(home.path(), {"catalog", volume.path(), "--catalog", hosted, "--name", "Disk"});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    const Database db = Catalog(hosted, OpenMode::SharedReadWrite).open();
    const QStringList tables = schema::listedVolumeTables(db);
    EXPECT_EQ(tables.size(), 2);
    for (const QString& table : tables)
        EXPECT_TRUE(HostedNamesIndexed(db, table)) << table.toStdString();
}

TEST_F(CliVolume, CataloguesAFolderThroughAMappedLetterAndListsIt) {
    const auto made = runCli(home.path(), {"catalog", volume.path(), "--name", "Disk \"one\""});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    EXPECT_TRUE(made.out.contains("2 folders, 2 files")) << made.out.toStdString();
    const QRegularExpressionMatch mapped =
        QRegularExpression("Mapped ([D-Z]): to (.*)\n").match(made.err);
    ASSERT_TRUE(mapped.hasMatch()) << made.err.toStdString();
    const QString letter = mapped.captured(1);
    EXPECT_EQ(mapped.captured(2), volume.path());
    EXPECT_TRUE(
        IniFile(home.filePath("Kestro.ini")).value("Drives", letter)->endsWith(volume.path()));

    const auto volumes = runCli(home.path(), {"volumes"});
    const QStringList fields = volumes.out.trimmed().split('\t');
    ASSERT_EQ(fields.size(), 9) << volumes.out.toStdString();
    EXPECT_EQ(volumes.out.count('\t'), 9)
        << "ten fields: the description, where it is online, when last catalogued again";
    EXPECT_EQ(fields[8], volume.path());
    EXPECT_EQ(fields[1], "Disk \"one\"");
    EXPECT_EQ(fields[4], "3") << "folders, the root included";

    EXPECT_EQ(runCli(home.path(), {"ls", "Disk \"one\""})
                  .out.section('\t', 0, 0, QString::SectionSkipEmpty),
              "GAMES\\");
    const auto doom = runCli(home.path(), {"ls", fields[0], "Q:\\GAMES\\DOOM"});
    EXPECT_TRUE(doom.out.startsWith("it's 100%.sav\t3KB\t")) << doom.out.toStdString();
    EXPECT_EQ(runCli(home.path(), {"ls", fields[0], "GAMES/DOOM"}).out, doom.out);

    // The second time the same folder keeps its letter and its name.
    const auto again = runCli(home.path(), {"catalog", volume.path()});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_FALSE(again.err.contains("Mapped"));
    QStringList after = runCli(home.path(), {"volumes"}).out.trimmed().split('\t');
    QStringList before = fields;
    ASSERT_EQ(after.size(), 10) << "the date of its change report comes last";
    EXPECT_EQ(after.takeLast(), after[6]);
    after.removeAt(6); // the date catalogued is all that changes
    before.removeAt(6);
    EXPECT_EQ(after, before);
}

TEST_F(CliVolume, CatalogChangesAndTheChangesCommandPrintTheLastReport) {
    ASSERT_EQ(runCli(home.path(), {"catalog", volume.path(), "--name", "Disk", "--changes"})
                  .out.count('\n'),
              1)
        << "a first cataloguing has no changes";
    const auto none = runCli(home.path(), {"changes", "Disk"});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_TRUE(none.out.isEmpty());
    EXPECT_TRUE(none.err.contains("no change report")) << none.err.toStdString();

    test::writeAll(volume.filePath("added.txt"), "x");
    QFile::remove(volume.filePath("readme.txt"));
    test::writeAll(volume.filePath("GAMES/DOOM/it's 100%.sav"), QByteArray(9000, 'x'));
    QDir(volume.path()).mkdir("NEW\tTAB");
    const auto again = runCli(home.path(), {"catalog", volume.path(), "--changes"});
    ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
    QStringList lines = again.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.takeFirst().endsWith("; 2 added, 1 removed, 1 changed"));
    QStringList leading; // all but the dates, which the catalog's clock gives
    for (const QString& line : lines) {
        EXPECT_EQ(line.count('\t'), 6) << line.toStdString();
        leading << line.section('\t', 0, 4);
    }
    EXPECT_EQ(leading, (QStringList{"+\t\\\tNEW TAB\\\t\t1KB", "+\t\\\tadded.txt\t\t1KB",
                                    "-\t\\\treadme.txt\t1KB\t",
                                    "~\t\\GAMES\\DOOM\tit's 100%.sav\t3KB\t9KB"}));

    const auto shown = runCli(home.path(), {"changes", "Disk"});
    EXPECT_EQ(shown.out.split('\n', Qt::SkipEmptyParts), lines) << "the same report again";
    EXPECT_TRUE(shown.err.endsWith(": 2 added, 1 removed, 1 changed\n")) << shown.err.toStdString();
    EXPECT_FALSE(runCli(home.path(), {"volumes"}).out.trimmed().section('\t', 9).isEmpty());
    EXPECT_EQ(runCli(home.path(), {"changes", "Nothing"}).exitCode, 1);
}

TEST_F(CliVolume, TimingsTellWhenEachStepOfTheRunBegan) {
    const auto made =
        runCli(home.path(), {"catalog", volume.path(), "--name", "timed", "--timings"});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    QStringList steps;
    double last = 0;
    for (const QString& line : made.err.split('\n', Qt::SkipEmptyParts)) {
        const qsizetype space = line.indexOf(' ');
        bool number = false;
        const double at = line.left(space).toDouble(&number);
        if (!number)
            continue; // "Mapped X: to ..."
        EXPECT_GE(at, last) << line.toStdString();
        last = at;
        steps << line.mid(space + 1);
    }
    EXPECT_EQ(steps.filter("Import"),
              (QStringList{"Importing Directories...", "Importing Files..."}));
    ASSERT_FALSE(steps.isEmpty());
    EXPECT_LT(steps.indexOf("Recursing Volume..."), steps.indexOf("Importing Directories..."));
    EXPECT_EQ(steps.last(), "end");
}

TEST_F(CliVolume, ANewVolumeWithoutANameIsNotCatalogued) {
    const auto r = runCli(home.path(), {"catalog", volume.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("--name")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("No volume description entered.  Won't catalog volume."));
    EXPECT_TRUE(runCli(home.path(), {"volumes"}).out.isEmpty());
}

TEST_F(CliVolume, MistakesGetClearMessages) {
    EXPECT_EQ(runCli(home.path(), {"catalog", volume.filePath("nothing-here")}).exitCode, 1);
    // No folder gets a letter while the settings file cannot keep it.
    QDir(home.path()).mkdir("Kestro.ini");
    const auto unwritable = runCli(home.path(), {"catalog", volume.path(), "--name", "x"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_EQ(unwritable.err,
              "The settings file " + home.filePath("Kestro.ini") + " can't be written.\n");
    QDir(home.path()).rmdir("Kestro.ini");
    ASSERT_EQ(runCli(home.path(), {"catalog", volume.path(), "--name", "x"}).exitCode, 0);
    const auto noVolume = runCli(home.path(), {"ls", "no such volume"});
    EXPECT_EQ(noVolume.exitCode, 1);
    EXPECT_TRUE(noVolume.err.contains("no volume \"no such volume\""));
    const auto noFolder = runCli(home.path(), {"ls", "x", "NOPE"});
    EXPECT_EQ(noFolder.exitCode, 1);
    EXPECT_TRUE(noFolder.err.contains(":\\NOPE\"")) << noFolder.err.toStdString();
}

TEST(CliDrives, AHundredFoldersCataloguedOneAfterAnotherBecomeAHundredVolumes) {
    QTemporaryDir home, folders;
    const IniFile settings(home.filePath("Kestro.ini"));
    QStringList paths;
    for (int i = 0; i < 100; ++i) {
        paths << folders.filePath(QString::number(i));
        QDir().mkpath(paths.last());
        const auto made =
            runCli(home.path(), {"catalog", paths.last(), "--name", QString::number(i)});
        ASSERT_EQ(made.exitCode, 0) << i << made.err.toStdString();
        ASSERT_LE(settings.entries("Drives").size(), 23u) << "a letter each from D: to Z: at most";
    }
    QDir(paths.last()).removeRecursively(); // its volume goes offline

    // Every folder is a volume of its own; those whose folder has a letter now
    // are online there.
    const QStringList volumes =
        runCli(home.path(), {"volumes"}).out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(volumes.size(), 100);
    QSet<QString> identifiers;
    QStringList online;
    for (const QString& line : volumes) {
        const QStringList fields = line.split('\t');
        ASSERT_EQ(fields.size(), 10) << line.toStdString();
        identifiers << fields[0];
        if (!fields[8].isEmpty())
            online << fields[1] + "=" + QFileInfo(fields[8]).fileName();
    }
    EXPECT_EQ(identifiers.size(), 100);
    const auto json = runCli(home.path(), {"volumes", "--json"}).out;
    EXPECT_EQ(json.count("\"online_at\":\"\""), 100 - online.size());
    online.sort();
    QStringList expected; // mounts of the machine take letters too
    const auto letters = settings.entries("Drives");
    const auto folderLetters = std::count_if(letters.begin(), letters.end(), [](const auto& l) {
        return l.second.startsWith("folder ");
    });
    for (auto i = 100 - folderLetters; i < 99; ++i)
        expected << QString("%1=%1").arg(i);
    expected.sort();
    EXPECT_EQ(online, expected) << "the folders catalogued last, but the one removed";
}

TEST(CliDrives, LettersAreMappedListedAndForgotten) {
    QTemporaryDir home, folder;
    EXPECT_EQ(runCli(home.path(), {"drives", "--map", "q:", folder.path()}).exitCode, 0);
    const QString listed = runCli(home.path(), {"drives"}).out;
    EXPECT_TRUE(listed.startsWith("C:\t/\tmount\tpresent\t\t\n")) << listed.toStdString();
    EXPECT_TRUE(
        QRegularExpression("\nQ:\t" + QRegularExpression::escape(folder.path()) +
                           "\tfolder\tpresent\t\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\t\n")
            .match(listed)
            .hasMatch())
        << listed.toStdString();
    const QStringList json = runCli(home.path(), {"drives", "--json"}).out.split('\n');
    const QJsonObject q = QJsonDocument::fromJson(json.filter("\"Q:\"").value(0).toUtf8()).object();
    EXPECT_EQ(q["folder"], folder.path());
    EXPECT_EQ(q["kind"], "folder");
    EXPECT_EQ(q["present"], true);
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d$")
                    .match(q["last_seen"].toString())
                    .hasMatch())
        << json.join('\n').toStdString();
    const auto refused = runCli(home.path(), {"drives", "--map", "r", folder.path()});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, folder.path() + " is already drive Q:.\n");
    EXPECT_EQ(runCli(home.path(), {"drives", "--forget", "c"}).exitCode, 2);
    EXPECT_EQ(runCli(home.path(), {"drives", "--map", "q"}).exitCode, 2);
    const auto forgotten = runCli(home.path(), {"drives", "--forget", "Q:"});
    EXPECT_EQ(forgotten.exitCode, 0);
    EXPECT_FALSE(forgotten.out.contains("\nQ:"));
}
