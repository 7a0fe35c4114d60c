#include "cataloguing/CatalogRun.h"

#include "catalog/Catalog.h"
#include "catalog/ChangeReport.h"
#include "catalog/DisplayRules.h"
#include "catalog/Schema.h"
#include "platform/DriveTable.h"
#include "platform/IniFile.h"
#include "platform/LinuxDriveSystem.h"
#include "platform/SystemTables.h"
#include "support/CatalogEngines.h"
#include "support/ScriptedRunView.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <QThreadPool>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/magic.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kestro;
using Result = CatalogRunOutcome::Result;

namespace {

// A program folder, a catalog (a file, or a hosted one in turn), and a
// folder mapped to drive X: to catalog. Letters from the end of the alphabet
// are free on any machine: mounts take theirs from D: up.
template <typename Base> struct RunFixtureOn : Base {
    QTemporaryDir home, volume;
    QString catalogPath = [this] {
        if constexpr (std::is_base_of_v<::testing::WithParamInterface<test::Engine>, Base>)
            return test::newCatalog(Base::GetParam(), home);
        else
            return test::makeCatalogFile(home.filePath("c.mdb"));
    }();
    LinuxDriveSystem system;
    DriveTable drives{IniFile(home.filePath("Kestro.ini")), system};
    test::ScriptedRunView view;

    void SetUp() override {
        ASSERT_EQ(drives.mapFolder('X', volume.path()), "");
        makeFile("readme.txt", 1500);
        makeFile("GAMES/doom.exe", 2'000'000);
        makeFile("GAMES/DOOM/save 1.dat", 10);
        QDir(volume.path()).mkpath("EMPTY");
    }
    void makeFile(const QString& relative, qint64 size) {
        const QString path = volume.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.resize(size);
    }
    CatalogRunOutcome catalog(bool clearDescriptions = false, const QString& drive = "x:") {
        CatalogRun run(Catalog(catalogPath, OpenMode::SharedReadWrite), drives, system, home.path(),
                       view);
        run.setDriveWait(300);
        return run.run({drive, clearDescriptions, false});
    }
    Database db() const { return Catalog(catalogPath, OpenMode::SharedReadWrite).open(); }
    QString text(const std::string& sql) const { return NullToEmpty(db().scalar(sql)); }
    QStringList rows(const QString& table) const {
        QStringList result;
        const Database catalogDb = db();
        Statement s = catalogDb.prepare(
            "SELECT coalesce(parent, '-'), name, coalesce(thedescription, '') FROM " +
            quoteIdentifier(table) + " ORDER BY parent, name");
        while (s.next())
            result << s.text(0) + "|" + s.text(1) + "|" + s.text(2);
        return result;
    }
};

using RunFixture = RunFixtureOn<::testing::Test>;
using RunOnEachEngine = RunFixtureOn<::testing::TestWithParam<test::Engine>>;

} // namespace

TEST_F(RunFixture, CataloguesAFolderIntoTheVolumeTablesAndTheIndex) {
    const CatalogRunOutcome outcome = catalog();
    ASSERT_EQ(outcome.result, Result::Catalogued) << view.messages.join('/').toStdString();
    const QString id = outcome.tablename;
    EXPECT_EQ(test::readAll(volume.filePath("Kestro.cat")), id.toUtf8() + "\r\n");
    EXPECT_EQ(view.prompts, QStringList{"Enter a descriptive name for this volume..."});
    EXPECT_EQ(rows(schema::dirsTable(id)),
              (QStringList{"-|X:|", "X:|EMPTY|", "X:|GAMES|", "X:\\GAMES|DOOM|"}));
    EXPECT_EQ(rows(schema::filesTable(id)), (QStringList{"X:|readme.txt|", "X:\\GAMES|doom.exe|",
                                                         "X:\\GAMES\\DOOM|save 1.dat|"}));
    EXPECT_EQ(
        text("SELECT name || '|' || category || '|' || thedescription || '|' || dirs || '|' || "
             "files FROM \"index\""),
        "Test Volume|0| |4|4")
        << "the marker's line is counted with the files";
    EXPECT_EQ(text("SELECT size FROM \"" + id.toStdString() + "_files\" WHERE name = 'doom.exe'"),
              "        1,954KB");
    EXPECT_TRUE(view.refreshed);
    EXPECT_TRUE(view.messages.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(home.filePath("dirs.txt")));
    EXPECT_FALSE(QFileInfo::exists(home.filePath("files.txt")));
    EXPECT_TRUE(view.catalogEnabled);
    EXPECT_FALSE(view.busy);
    EXPECT_TRUE(view.waitCursorShown);
    EXPECT_FALSE(view.waitCursor);
    EXPECT_EQ(view.statuses.last(), "<idle>");
    EXPECT_EQ(view.highlightedStatuses, QStringList{"Recursing Volume..."});
}

TEST_P(RunOnEachEngine, CataloguingAgainKeepsNamesCategoriesAndDescriptionsOfItemsThatStayed) {
    const QString id = catalog().tablename;
    const auto tables = [this] {
        QStringList names = db().tableNames();
        names.sort();
        return names;
    };
    QStringList tablesAfter = tables() << changes::kRunsTable << changes::kItemsTable;
    tablesAfter.sort();
    tablesAfter.removeDuplicates(); // a hosted catalog is made with the report's tables
    const std::string dirs = quoteIdentifier(schema::dirsTable(id)),
                      files = quoteIdentifier(schema::filesTable(id));
    db().executeScript("UPDATE \"index\" SET name = 'Renamed \"disk\"', category = '3', "
                       "thedescription = 'my old disk';");
    for (const auto& [table, name, description] : {std::tuple{files, "doom.exe", "the game"},
                                                   {files, "readme.txt", "gone"},
                                                   {files, "save 1.dat", "case"},
                                                   {dirs, "DOOM", "saves"}})
        db().execute("UPDATE " + table + " SET thedescription = ?1 WHERE name = ?2",
                     QString(description), QString(name));
    QFile::rename(volume.filePath("readme.txt"), volume.filePath("README2.txt"));
    QFile::rename(volume.filePath("GAMES/DOOM/save 1.dat"),
                  volume.filePath("GAMES/DOOM/SAVE 1.dat"));
    makeFile("new.txt", 1);
    makeFile("EMPTY/doom.exe", 1); // the same name in another folder

    view.prompts.clear();
    ASSERT_EQ(catalog().result, Result::Catalogued);
    EXPECT_TRUE(view.prompts.isEmpty()) << "a known volume is not asked for again";
    EXPECT_EQ(text("SELECT name || '|' || category || '|' || thedescription FROM \"index\""),
              "Renamed \"disk\"|3|my old disk");
    EXPECT_EQ(rows(schema::filesTable(id)),
              (QStringList{"X:|README2.txt|", "X:|new.txt|", "X:\\EMPTY|doom.exe|",
                           "X:\\GAMES|doom.exe|the game", "X:\\GAMES\\DOOM|SAVE 1.dat|"}));
    EXPECT_EQ(rows(schema::dirsTable(id)).filter("DOOM"), QStringList{"X:\\GAMES|DOOM|saves"});
    EXPECT_EQ(tables(), tablesAfter)
        << "no temporary table is left behind, beside the two of the change report";

    ASSERT_EQ(catalog(true).result, Result::Catalogued);
    EXPECT_EQ(text("SELECT name || '|' || thedescription FROM \"index\""),
              "Renamed \"disk\"|my old disk");
    EXPECT_EQ(text("SELECT count(*) FROM " + files + " WHERE thedescription IS NOT NULL"), "0");
}

TEST_F(RunFixture, DescriptionsSurviveANewDriveLetterAtEveryDepth) {
    const QString id = catalog().tablename;
    const QStringList tables{schema::dirsTable(id), schema::filesTable(id)};
    // Every folder and file is described by its own place.
    for (const QString& table : tables)
        db().executeScript("UPDATE " + quoteIdentifier(table) +
                           " SET thedescription = kestro_below_root(parent) || '|' || name "
                           "WHERE parent IS NOT NULL");
    QStringList before = rows(tables[0]) + rows(tables[1]);
    ASSERT_EQ(before.filter("X:\\GAMES\\DOOM|save 1.dat|\\GAMES\\DOOM|save 1.dat").size(), 1);

    ASSERT_TRUE(drives.unmap('X'));
    ASSERT_EQ(drives.mapFolder('W', volume.path()), "");
    ASSERT_EQ(catalog(false, "w:").result, Result::Catalogued);
    EXPECT_EQ(rows(tables[0]) + rows(tables[1]), before.replaceInStrings("X:", "W:"));
}

// A hand-edited or damaged catalog: the volume's tables are gone or empty,
// another volume's tables are named in capitals, and a third volume's row
// cannot be deleted. Nothing the user gave a volume is lost.
TEST_F(RunFixture, CataloguingAgainOverMissingOrEmptyTablesKeepsWhatTheUserGave) {
    const QString id = catalog().tablename;
    const std::string dirs = quoteIdentifier(schema::dirsTable(id)),
                      files = quoteIdentifier(schema::filesTable(id));
    db().executeScript(
        "UPDATE \"index\" SET name = 'Mine', category = '3', thedescription = 'old disk';"
        "CREATE TABLE \"ABC_dirs\" AS SELECT * FROM template_dirs;"
        "CREATE TABLE \"ABC_files\" AS SELECT * FROM template_files;"
        "INSERT INTO \"ABC_dirs\" (name, size) VALUES ('E:', '            1KB');"
        "INSERT INTO \"index\" (tablename, name) VALUES ('ABC', 'Capitals');"
        "CREATE TABLE \"stuck_dirs\" AS SELECT * FROM template_dirs;"
        "INSERT INTO \"index\" (tablename, name) VALUES ('stuck', 'Stuck');"
        "CREATE TRIGGER keep BEFORE DELETE ON \"index\" WHEN old.tablename = 'stuck' "
        "BEGIN SELECT RAISE(ABORT, 'stays'); END;");
    db().execute("UPDATE " + files + " SET thedescription = 'the game' WHERE name = 'doom.exe'");
    for (const std::string& damage :
         {"DROP TABLE " + dirs, "DELETE FROM " + dirs, "DROP TABLE " + files}) {
        SCOPED_TRACE(damage);
        db().executeScript(damage + ";");
        ASSERT_EQ(catalog().result, Result::Catalogued) << view.messages.join('/').toStdString();
        EXPECT_EQ(text("SELECT group_concat(name || '|' || category || '|' || thedescription) "
                       "FROM \"index\" WHERE tablename = '" +
                       id.toStdString() + "'"),
                  "Mine|3|old disk")
            << "not asked for, nothing lost";
        EXPECT_EQ(text("SELECT group_concat(tablename) FROM \"index\" WHERE tablename <> '" +
                       id.toStdString() + "'"),
                  "ABC,stuck");
        EXPECT_TRUE(db().hasTable("ABC_files"));
    }
    EXPECT_EQ(rows(schema::filesTable(id)).filter("doom.exe"), QStringList{"X:\\GAMES|doom.exe|"})
        << "its table was gone";

    // Stopped, such a run leaves the catalog as it was: nothing is committed
    // before the run's own end.
    db().executeScript("DROP TABLE " + dirs + ";");
    const QByteArray before = test::readAll(catalogPath);
    view = {};
    view.stopWhen = [](const test::ScriptedRunView& v) {
        return v.statuses.contains("Importing Files...");
    };
    EXPECT_EQ(catalog().result, Result::Aborted);
    EXPECT_EQ(test::readAll(catalogPath), before);
}

TEST_F(RunFixture, TheVolumeIsDatedWhenItsWalkBegan) {
    QDateTime now(QDate(1998, 3, 5), QTime(14, 7, 22));
    view.stopWhen = [&now](const test::ScriptedRunView& v) {
        if (v.statuses.contains("Importing Directories..."))
            now = QDateTime(QDate(1998, 3, 5), QTime(15, 0));
        return false;
    };
    CatalogRun run(Catalog(catalogPath, OpenMode::SharedReadWrite), drives, system, home.path(),
                   view);
    run.setClock([&now] { return now; });
    ASSERT_EQ(run.run({"x:", false, false}).result, Result::Catalogued);
    EXPECT_EQ(text("SELECT thedate FROM \"index\""), "3/5/1998 2:07:22 PM");
}

// "Eject media when done?" asks the `eject` command (there is no UDisks2 to
// ask here) for a removable medium, for nothing when unticked, and never
// for a fixed disk.
TEST_F(RunFixture, EjectsARemovableMediumWhenAskedAndNeverAFixedDisk) {
    struct statfs fileSystem {};
    ASSERT_EQ(::statfs(QFile::encodeName(volume.path()).constData(), &fileSystem), 0);
    if (fileSystem.f_type == TMPFS_MAGIC)
        GTEST_SKIP() << "the temporary folder is on a RAM disk, which no flag makes removable";
    QTemporaryDir bin;
    test::writeAll(bin.filePath("eject"),
                   "#!/bin/sh\necho \"$@\" >> '" + bin.filePath("asked").toUtf8() + "'\n");
    QFile::setPermissions(bin.filePath("eject"), QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8() + ":" + path);
    const auto [majorNumber, minorNumber] = test::deviceNumberOf(volume.path());
    for (const auto& [removable, eject, asked] :
         {std::tuple{"1", false, false}, {"1", true, true}, {"0", true, false}}) {
        test::SystemTables tables;
        const QString device = tables.addBlockDevice(majorNumber, minorNumber, "sdz",
                                                     "devices/virtual/block", removable);
        LinuxDriveSystem flagged(tables.places());
        DriveTable flaggedDrives(IniFile(home.filePath("Kestro.ini")), flagged);
        CatalogRun run(Catalog(catalogPath, OpenMode::SharedReadWrite), flaggedDrives, flagged,
                       home.path(), view);
        QElapsedTimer took;
        took.start();
        ASSERT_EQ(run.run({"x:", false, eject}).result, Result::Catalogued);
        // A removable drive that answers is ready: no wait for it to come up.
        EXPECT_LT(took.elapsed(), 10000);
        ASSERT_TRUE(QThreadPool::globalInstance()->waitForDone(40000));
        EXPECT_EQ(QFile::exists(bin.filePath("asked")), asked) << removable << eject;
        if (asked) {
            EXPECT_EQ(test::readAll(bin.filePath("asked")), device.toUtf8() + "\n");
        }
        QFile::remove(bin.filePath("asked"));
    }
    qputenv("PATH", path);
}

// The changes of a re-catalog, one item a line: kind, location, name (folders
// end in "\"), old and new size.
QStringList changeLines(const Database& db, const QString& tablename) {
    QStringList lines;
    for (const ChangeItem& item : ReadChanges(db, tablename))
        lines << QStringList{item.kind, item.location, item.name + (item.folder ? "\\" : ""),
                             item.oldSize.trimmed(), item.newSize.trimmed()}
                     .join('|');
    return lines;
}

TEST_P(RunOnEachEngine, ARecatalogReportsWhatWasAddedRemovedAndChanged) {
    makeFile("GAMES/touched.txt", 5);
    const CatalogRunOutcome first = catalog();
    EXPECT_FALSE(first.changes) << "a first cataloguing has nothing to compare with";
    EXPECT_FALSE(LastChangeRun(db(), first.tablename));

    makeFile("added.txt", 1);
    QFile::remove(volume.filePath("GAMES/DOOM/save 1.dat"));
    QFile::rename(volume.filePath("readme.txt"), volume.filePath("README.txt"));
    makeFile("GAMES/doom.exe", 3'000'000);
    QFile touched(volume.filePath("GAMES/touched.txt"));
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    touched.setFileTime(QDateTime::currentDateTime().addDays(-3), QFile::FileModificationTime);
    touched.close();
    QDir(volume.path()).mkdir("NEWDIR");
    QDir(volume.path()).rmdir("EMPTY");
    // Under another letter, which the comparison leaves out.
    ASSERT_TRUE(drives.unmap('X'));
    ASSERT_EQ(drives.mapFolder('W', volume.path()), "");

    const CatalogRunOutcome again = catalog(false, "w:");
    ASSERT_EQ(again.result, Result::Catalogued);
    const QString date = text("SELECT thedate FROM \"index\"");
    EXPECT_EQ(again.changes, (ChangeRun{date, 3, 3, 2}));
    EXPECT_EQ(LastChangeRun(db(), again.tablename), again.changes);
    EXPECT_EQ(changeLines(db(), again.tablename),
              (QStringList{"-|\\|EMPTY\\|1KB|", "+|\\|NEWDIR\\||1KB", "+|\\|README.txt||2KB",
                           "+|\\|added.txt||1KB", "-|\\|readme.txt|2KB|",
                           "~|\\GAMES|doom.exe|1,954KB|2,930KB", "~|\\GAMES|touched.txt|1KB|1KB",
                           "-|\\GAMES\\DOOM|save 1.dat|1KB|"}));
    const ChangeItem touchedItem = ReadChanges(db(), again.tablename)[6];
    EXPECT_NE(touchedItem.oldDate, touchedItem.newDate);
    EXPECT_TRUE(view.statuses.contains("Finding what changed..."));

    // Catalogued again unchanged: an empty report takes the last one's place.
    const CatalogRunOutcome unchanged = catalog(false, "w:");
    ASSERT_EQ(unchanged.changes, (ChangeRun{text("SELECT thedate FROM \"index\""), 0, 0, 0}));
    EXPECT_TRUE(ReadChanges(db(), again.tablename).empty());
    QStringList history;
    const Database catalogDb = db();
    Statement run =
        catalogDb.prepare("SELECT added, removed, changed FROM kestro_change_runs ORDER BY rowid");
    while (run.next())
        history << run.text(0) + run.text(1) + run.text(2);
    EXPECT_EQ(history, (QStringList{"332", "000"})) << "the runs' history";
}

// Two names that are not UTF-8 may be stored under one substitute; each old
// row then answers one new row, so the report still counts them.
TEST_P(RunOnEachEngine, ItemsStoredUnderOneSubstituteAreMatchedOneForOne) {
    const QByteArray folder = QFile::encodeName(volume.path());
    for (const char* name : {"/caf\xE9", "/caf\xE8"})
        ASSERT_EQ(::close(::open((folder + name).constData(), O_CREAT | O_WRONLY, 0644)), 0);
    const QString id = catalog().tablename;
    ASSERT_EQ(
        text("SELECT count(*) FROM \"" + id.toStdString() + "_files\" WHERE name = 'caf\uFFFD'"),
        "2");
    const CatalogRunOutcome unchanged = catalog();
    EXPECT_EQ(unchanged.changes, (ChangeRun{text("SELECT thedate FROM \"index\""), 0, 0, 0}));
    ASSERT_EQ(::unlink((folder + "/caf\xE9").constData()), 0);
    ASSERT_EQ(catalog().result, Result::Catalogued);
    EXPECT_EQ(changeLines(db(), id), QStringList{"-|\\|caf\uFFFD|1KB|"});
    ::unlink((folder + "/caf\xE8").constData()); // a name QTemporaryDir cannot remove
}

// A hand-edited catalog may lack rows; the report still names the right ones.
TEST_F(RunFixture, ARecatalogOfATableWithRowsTakenOutReportsTheRightItems) {
    const QString id = catalog().tablename;
    const std::string files = quoteIdentifier(schema::filesTable(id));
    const QStringList byRowid =
        text("SELECT group_concat(name, '|') FROM (SELECT name FROM " + files + " ORDER BY rowid)")
            .split('|');
    ASSERT_EQ(byRowid.size(), 3);
    db().execute("DELETE FROM " + files + " WHERE name = ?1", byRowid[1]);
    const QHash<QString, QString> paths{{"readme.txt", "readme.txt"},
                                        {"doom.exe", "GAMES/doom.exe"},
                                        {"save 1.dat", "GAMES/DOOM/save 1.dat"}};
    ASSERT_TRUE(QFile::remove(volume.filePath(paths[byRowid[2]])));
    ASSERT_EQ(catalog().result, Result::Catalogued);
    QStringList kindsAndNames;
    for (const ChangeItem& item : ReadChanges(db(), id))
        kindsAndNames << item.kind + item.name;
    kindsAndNames.sort();
    EXPECT_EQ(kindsAndNames, (QStringList{"+" + byRowid[1], "-" + byRowid[2]}));
}

TEST_F(RunFixture, AnAbortedRecatalogKeepsTheReportBefore) {
    const QString id = catalog().tablename;
    makeFile("added.txt", 1);
    ASSERT_EQ(catalog().changes->added, 1);
    const QStringList before = changeLines(db(), id);
    makeFile("second.txt", 1);
    view.stopWhen = [](const test::ScriptedRunView& v) {
        return v.statuses.contains("Importing Files...");
    };
    EXPECT_EQ(catalog().result, Result::Aborted);
    EXPECT_EQ(changeLines(db(), id), before);
    EXPECT_EQ(LastChangeRun(db(), id)->added, 1);
}

TEST_F(RunFixture, CancellingTheNameLeavesNothingBehind) {
    view.volumeName.reset();
    const QStringList before = db().tableNames();
    EXPECT_EQ(catalog().result, Result::NotDone);
    EXPECT_EQ(view.messages, QStringList{"No volume description entered.  Won't catalog volume."});
    EXPECT_EQ(db().tableNames(), before);
    EXPECT_EQ(text("SELECT count(*) FROM \"index\""), "0");
}

TEST_F(RunFixture, AbortInEveryPhaseLeavesTheCatalogAsItWas) {
    const QString id = catalog().tablename;
    db().execute("UPDATE \"" + id.toStdString() +
                 "_files\" SET thedescription = 'kept' WHERE name = 'doom.exe'");
    const QByteArray before = test::readAll(catalogPath);
    // A stop asked for after the imports keeps the new volume but says so.
    for (const auto& [phase, result] : {std::pair{"Recursing Volume...", Result::Aborted},
                                        {"Importing Directories...", Result::Aborted},
                                        {"Importing Files...", Result::Aborted},
                                        {"Saving existing descriptions...", Result::Catalogued}}) {
        SCOPED_TRACE(phase);
        view = {};
        view.stopWhen = [stage = phase](const test::ScriptedRunView& v) {
            return v.statuses.contains(stage);
        };
        EXPECT_EQ(catalog().result, result);
        EXPECT_EQ(view.messages, QStringList{"Aborted by user..."});
        EXPECT_FALSE(view.stopRequested) << "the request is cleared at the end";
        EXPECT_FALSE(QFileInfo::exists(home.filePath("files.txt")));
        if (result == Result::Aborted) {
            EXPECT_EQ(test::readAll(catalogPath), before);
        }
    }
}

TEST_F(RunFixture, ARunKilledWhileWalkingAndImportingLeavesTheCatalogAsItWas) {
    ASSERT_EQ(catalog().result, Result::Catalogued);
    // Long paths make the file listing reach the disk while most of the
    // folders are still to be walked.
    const QString longName(240, QLatin1Char('n'));
    QString deep = volume.path();
    for (int depth = 0; depth < 4; ++depth)
        deep += QLatin1Char('/') + longName;
    ASSERT_TRUE(QDir().mkpath(deep));
    constexpr int kFolders = 500;
    for (int i = 0; i < kFolders; ++i) {
        const QString folder = deep + QStringLiteral("/%1").arg(i);
        ASSERT_TRUE(QDir().mkdir(folder));
        QFile file(folder + QLatin1Char('/') + longName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QByteArray before = test::readAll(catalogPath);

    const pid_t child = ::fork();
    if (child == 0) {
        // Killed at the first file rows imported while the walk still counts.
        view.stopWhen = [](const test::ScriptedRunView& v) {
            if (v.statuses.last() == "Recursing Volume..." && v.yields > 10 &&
                v.walkFiles < quint64(kFolders))
                ::raise(SIGKILL);
            return false;
        };
        view.statuses.clear();
        view.yields = 0;
        catalog();
        ::_exit(3); // the walk ended before any of its lines was imported
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the run was not killed while walking and importing";

    EXPECT_EQ(test::readAll(catalogPath), before);
    EXPECT_EQ(text("SELECT files FROM \"index\""), "4");
    view = {};
    const CatalogRunOutcome again = catalog();
    ASSERT_EQ(again.result, Result::Catalogued) << view.messages.join('/').toStdString();
    EXPECT_EQ(again.files, 4 + kFolders);
    EXPECT_EQ(again.dirs, 4 + 4 + kFolders);
}

TEST_F(RunFixture, ADriveThatIsNotThereIsReportedAndNothingChanges) {
    QDir(volume.path()).removeRecursively();
    EXPECT_EQ(catalog().result, Result::NotDone);
    EXPECT_EQ(view.messages, QStringList{"Drive not ready or unavailable..."});
    EXPECT_FALSE(view.refreshed);
}

TEST_F(RunFixture, AVolumeThatCannotBeMarkedIsNotCatalogued) {
    test::ScratchMount readOnly(volume.path(), "ro,size=64k");
    if (!readOnly.ok())
        GTEST_SKIP() << readOnly.failure();
    EXPECT_EQ(catalog().result, Result::NotDone);
    EXPECT_EQ(view.messages,
              (QStringList{"Can't catalog this volume.  Can't write marker file.",
                           "Error:  Cannot establish a marker file on volume, OR retrieve a serial "
                           "number... Cannot catalog this volume!"}));
}

// Refused before the volume gets its marker: a run elsewhere holds the
// listing files, or the program folder cannot take them.
TEST_F(RunFixture, ARunWithoutItsListingFilesIsRefusedAndSaysWhy) {
    QLockFile other(home.filePath("listings.lock"));
    ASSERT_TRUE(other.tryLock(0));
    EXPECT_EQ(catalog().result, Result::NotDone);
    ASSERT_EQ(view.messages.size(), 1);
    EXPECT_TRUE(view.messages[0].startsWith("Another cataloguing run"));
    EXPECT_FALSE(QFileInfo::exists(volume.filePath("Kestro.cat")));

    QTemporaryDir programFolder;
    test::ScratchMount readOnly(programFolder.path(), "ro,size=64k");
    if (!readOnly.ok())
        GTEST_SKIP() << readOnly.failure();
    view = {};
    CatalogRun run(Catalog(catalogPath, OpenMode::SharedReadWrite), drives, system,
                   programFolder.path(), view);
    EXPECT_EQ(run.run({"x:", false, false}).result, Result::NotDone);
    ASSERT_EQ(view.messages.size(), 1);
    EXPECT_TRUE(view.messages[0].startsWith("The program folder " + programFolder.path() +
                                            " can't be written"));
    EXPECT_FALSE(QFileInfo::exists(volume.filePath("Kestro.cat")));
}

TEST_F(RunFixture, TwoVolumesMarkedInTheSameSecondStayTwoVolumes) {
    QTemporaryDir second;
    ASSERT_EQ(drives.mapFolder('Y', second.path()), "");
    const QDateTime sameSecond(QDate(1998, 3, 5), QTime(14, 7, 22));
    QStringList identifiers;
    for (const char* drive : {"x:", "y:"}) {
        CatalogRun run(Catalog(catalogPath, OpenMode::SharedReadWrite), drives, system, home.path(),
                       view);
        run.setClock([&] { return sameSecond; });
        const CatalogRunOutcome outcome = run.run({drive, false, false});
        ASSERT_EQ(outcome.result, Result::Catalogued);
        identifiers << outcome.tablename;
    }
    EXPECT_EQ(identifiers, (QStringList{"71330842", "71330843"}));
    EXPECT_EQ(text("SELECT count(*) FROM \"index\""), "2");
}

INSTANTIATE_TEST_SUITE_P(, RunOnEachEngine, test::kEachEngine, test::engineName);
