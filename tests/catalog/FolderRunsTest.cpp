#include "catalog/FolderRuns.h"

#include "ScratchCatalog.h"
#include "catalog/CatalogEditing.h"
#include "catalog/CatalogFile.h"
#include "catalog/Schema.h"
#include "support/CatalogFixture.h"

#include <gtest/gtest.h>

using namespace kestro;

namespace {

const QStringList kParents{"D:", "D:\\A", "D:\\A\\B", "D:\\B", "D:\\a"};

// The names of a folder's rows: as FolderRows reads them, and as reading
// every row of the table by its parent does.
QStringList namesRead(const Database& db, const QString& table, const QString& parent,
                      bool throughRuns) {
    const FolderRows folder(db, table);
    EXPECT_EQ(folder.condition(1).find("folder_runs") != std::string::npos, throughRuns);
    Statement rows = db.prepare("SELECT name FROM " + quoteIdentifier(table) + " WHERE " +
                                folder.condition(1) + " ORDER BY rowid");
    folder.bind(rows, 1, parent);
    QStringList names;
    while (rows.next())
        names << rows.text(0);
    return names;
}

QStringList namesByParent(const Database& db, const QString& table, const QString& parent) {
    Statement rows = db.prepare("SELECT name FROM " + quoteIdentifier(table) +
                                " WHERE parent = ?1 ORDER BY rowid");
    rows.bind(1, parent);
    QStringList names;
    while (rows.next())
        names << rows.text(0);
    return names;
}

void expectEveryFolderRead(const Database& db, const QString& table, bool throughRuns) {
    for (const QString& parent : kParents) {
        SCOPED_TRACE(parent.toStdString());
        EXPECT_EQ(namesRead(db, table, parent, throughRuns), namesByParent(db, table, parent));
    }
}

// A table whose folders lie in several runs each, after a root row, with
// runs of one row and a folder whose name differs only in letter case.
void writeInterleavedTable(const Database& db) {
    Database::Transaction transaction(db);
    db.executeScript(
        "CREATE TABLE v_files AS SELECT * FROM template_files;"
        "INSERT INTO v_files (name) VALUES ('D:');"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400) "
        "INSERT INTO v_files (name, parent) SELECT 'f' || i, CASE WHEN i % 97 = 0 THEN 'D:\\a' "
        "  WHEN i < 100 THEN 'D:' WHEN i < 200 THEN 'D:\\A' WHEN i % 3 = 0 THEN 'D:\\B' "
        "  ELSE 'D:\\A\\B' END FROM n;");
    FolderRunsWriter runs(db, "v_files");
    Statement rows = db.prepare("SELECT rowid, parent FROM v_files WHERE parent IS NOT NULL "
                                "ORDER BY rowid");
    while (rows.next())
        runs.add(rows.integer(0), rows.utf8(1));
    runs.finish();
    transaction.commit();
}

} // namespace

TEST(FolderRuns, ReadEachFolderAsItsParentColumnDoesAndRowsAddedBehindTheirBack) {
    const test::ScratchCatalog c;
    writeInterleavedTable(c.db);
    expectEveryFolderRead(c.db, "v_files", true);
    // One run per change of parent from one row to the next: what keeps them small.
    EXPECT_EQ(c.db.scalar("SELECT count(*) FROM folder_runs"),
              c.db.scalar("SELECT count(*) FROM (SELECT parent, lag(parent) OVER (ORDER BY rowid) "
                          "AS before FROM v_files) WHERE parent IS NOT NULL AND parent IS NOT "
                          "before"));

    // What another program adds without a change of the schema is read too.
    c.db.executeScript("DELETE FROM v_files WHERE name = 'f150';"
                       "INSERT INTO v_files (name, parent) VALUES ('late', 'D:\\A');");
    expectEveryFolderRead(c.db, "v_files", true);
    EXPECT_TRUE(namesRead(c.db, "v_files", "D:\\A", true).contains("late"));
}

// An older program knows nothing of the runs: whatever it does to the schema
// or the file leaves them unread, and the rows are read by their parent.
TEST(FolderRuns, AreLeftUnreadOnceAnotherProgramChangesTheSchema) {
    for (const char* change :
         {"DELETE FROM v_files WHERE rowid % 5 = 0; VACUUM;",
          "CREATE TABLE v_new AS SELECT * FROM v_files ORDER BY random(); DROP TABLE v_files; "
          "ALTER TABLE v_new RENAME TO v_files;",
          "CREATE INDEX v_files_lookup ON v_files (parent, name);"}) {
        SCOPED_TRACE(change);
        const test::ScratchCatalog c;
        writeInterleavedTable(c.db);
        c.db.executeScript(change); // not in a transaction of this program's
        expectEveryFolderRead(c.db, "v_files", false);
    }
}

class FolderRunsOfVolumes : public test::CatalogFixture {};

// A cataloguing run writes the runs and leaves no index on (parent, name);
// this program's later changes keep them current, and Compact, which numbers
// rows anew, writes them again.
TEST_F(FolderRunsOfVolumes, AreWrittenByEachRunAndKeptThroughThisProgramsChanges) {
    for (const QString& parent : {"A/B", "B", "a"}) {
        QDir(folder("disk")).mkpath(parent);
        for (int i = 0; i < 5; ++i)
            test::writeAll(folder("disk") + "/" + parent + "/f" + QString::number(i), "x");
    }
    // A catalog made before the runs gets them with its next run.
    db().executeScript("DROP TABLE folder_runs; DROP TABLE folder_run_tables;");
    const QString a = catalogAs("disk", "A", 'V');
    test::writeAll(folder("other") + "/f", "x");
    const QString b = catalogAs("other", "B", 'W');
    const auto expectRead = [&](bool throughRuns) {
        const Database d = db();
        for (const QString& table : {schema::dirsTable(a), schema::filesTable(a)})
            for (const QString& parent : {"V:", "V:\\A", "V:\\A\\B", "V:\\B", "V:\\a"}) {
                SCOPED_TRACE((table + " " + parent).toStdString());
                EXPECT_EQ(namesRead(d, table, parent, throughRuns),
                          namesByParent(d, table, parent));
            }
    };
    expectRead(true);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND "
                          "tbl_name IN (?1, ?2)",
                          schema::dirsTable(a), schema::filesTable(a)),
              SqlValue(qint64(0)));

    DeleteFileRow(db(), a, "V:\\A\\B", "f2");
    DeleteVolume(db(), b);
    expectRead(true);
    compactCatalog(catalog());
    expectRead(true);
    EXPECT_EQ(namesRead(db(), schema::filesTable(a), "V:\\A\\B", true),
              (QStringList{"f0", "f1", "f3", "f4"}));
}
