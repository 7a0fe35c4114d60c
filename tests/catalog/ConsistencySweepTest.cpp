#include "catalog/ConsistencySweep.h"

#include "catalog/Catalog.h"
#include "catalog/ChangeReport.h"
#include "catalog/Schema.h"
#include "support/CatalogEngines.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestro;

namespace {

// A catalog with the given volumes; a volume with `withRoot` false has an
// empty folder table.
struct SweptCatalog {
    explicit SweptCatalog(test::Engine engine = test::Engine::File)
        : catalog(test::newCatalog(engine, dir), OpenMode::SharedReadWrite) {}

    QTemporaryDir dir;
    Catalog catalog;

    void addTables(const QString& tablename, bool withRoot) const {
        const Database db = catalog.open();
        db.executeScript(schema::createVolumeTableSql(db.isHosted(), schema::dirsTable(tablename),
                                                      "template_dirs") +
                         ";" +
                         schema::createVolumeTableSql(db.isHosted(), schema::filesTable(tablename),
                                                      "template_files") +
                         ";");
        if (withRoot)
            db.execute("INSERT INTO " + quoteIdentifier(schema::dirsTable(tablename)) +
                       " (name, size) VALUES ('D:', '            1KB')");
    }
    void addVolume(const QString& tablename, bool withRoot = true) const {
        addTables(tablename, withRoot);
        catalog.open().execute("INSERT INTO \"index\" (tablename, name) VALUES (?1, ?1)",
                               tablename);
    }
    QStringList tables() const { return catalog.open().tableNames(); }
    QStringList volumes() const {
        QStringList rows;
        const Database db = catalog.open();
        Statement s = db.prepare("SELECT tablename FROM \"index\" ORDER BY tablename");
        while (s.next())
            rows << s.text(0);
        return rows;
    }
};

} // namespace

using SweepOnEachEngine = ::testing::TestWithParam<test::Engine>;

TEST_P(SweepOnEachEngine, DropsOrphanTablesAndKeepsOwnedOnes) {
    SweptCatalog c(GetParam());
    const QStringList fixed = c.tables();
    c.addVolume("71330842");
    c.addTables("abc", true);  // tables without an index row
    c.addTables("temp", true); // leftovers of an interrupted run: temp_dirs, temp_files
    c.catalog.open().executeScript("CREATE TABLE notes (x TEXT); CREATE TABLE \"MSysObjects\" "
                                   "(x TEXT); CREATE TABLE \"~tmp\" (x TEXT); ANALYZE;");
    const SweepReport report = sweepCatalog(c.catalog.open());
    EXPECT_EQ(c.tables(),
              (fixed + QStringList{"71330842_dirs", "71330842_files", "MSysObjects", "~tmp"}));
    EXPECT_EQ(report.droppedTables.size(), 5);
    EXPECT_TRUE(report.removedVolumes.isEmpty());
}

TEST(Sweep, RemovesIndexRowsWhoseFolderTableIsMissingOrEmpty) {
    SweptCatalog c;
    c.addVolume("111");
    c.addVolume("222", false);                                                    // no root row
    c.catalog.open().execute("INSERT INTO \"index\" (tablename) VALUES ('333')"); // no tables
    c.addVolume("o'brien \"quoted\""); // an awkward name is still handled
    c.addTables("ABC", true);          // letter case does not part tables from their row
    c.catalog.open().execute("INSERT INTO \"index\" (tablename) VALUES ('abc')");
    c.addVolume("444", false); // its row cannot be deleted: it stays whole, the sweep goes on
    c.catalog.open().executeScript("CREATE TRIGGER keep BEFORE DELETE ON \"index\" WHEN "
                                   "old.tablename = '444' BEGIN SELECT RAISE(ABORT, 'no'); END;");
    const SweepReport report = sweepCatalog(c.catalog.open());
    EXPECT_EQ(c.volumes(), (QStringList{"111", "444", "abc", "o'brien \"quoted\""}));
    EXPECT_EQ(report.removedVolumes, (QStringList{"222", "333"}));
    EXPECT_FALSE(c.tables().contains("222_files"));
    EXPECT_TRUE(c.tables().contains("ABC_dirs"));
    EXPECT_TRUE(c.tables().contains("444_files"));
}

TEST(Sweep, FixedTablesAreNeverVolumeTables) {
    for (const char* name :
         {"index", "INDEX", "Categories", "name", "template_dirs", "Template_Files", "MSysACEs",
          "~TMPCLP1", "sqlite_sequence", "kestro_schema"})
        EXPECT_FALSE(schema::isVolumeTable(name)) << name;
    for (const char* name : {"abc_dirs", "71330842_files", "notes", "temp_dirs"})
        EXPECT_TRUE(schema::isVolumeTable(name)) << name;
}

TEST_P(SweepOnEachEngine, KeepsTheChangeReportTablesAndForgetsReportsOfVolumesThatAreGone) {
    SweptCatalog c(GetParam());
    c.addVolume("71330842");
    const Database db = c.catalog.open();
    CreateChangeReportTables(db);
    for (const QString tablename : {"71330842", "gone"}) {
        db.execute("INSERT INTO kestro_change_runs (tablename, thedate, added, removed, changed) "
                   "VALUES (?1, '3/5/98 2:07pm', 1, 0, 0)",
                   tablename);
        db.execute("INSERT INTO kestro_changes (tablename, kind, folder, name) "
                   "VALUES (?1, '+', 0, 'a.txt')",
                   tablename);
    }
    EXPECT_TRUE(sweepCatalog(db).droppedTables.isEmpty());
    EXPECT_TRUE(db.hasTable("kestro_change_runs"));
    EXPECT_EQ(ReadChanges(db, "71330842").size(), 1u);
    EXPECT_TRUE(LastChangeRun(db, "71330842"));
    EXPECT_FALSE(LastChangeRun(db, "gone"));
    EXPECT_EQ(std::get<qint64>(db.scalar("SELECT count(*) FROM kestro_changes")), 1);
}

INSTANTIATE_TEST_SUITE_P(, SweepOnEachEngine, test::kEachEngine, test::engineName);
