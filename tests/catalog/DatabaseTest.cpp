#include "ScratchCatalog.h"
#include "catalog/Catalog.h"
#include "catalog/CatalogError.h"
#include "catalog/DisplayRules.h"
#include "catalog/FolderRuns.h"
#include "catalog/NameIndex.h"
#include "catalog/RowAppender.h"
#include "catalog/Schema.h"
#include "platform/CatalogLocation.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>
#include <sqlite3.h>

using namespace kestro;
using kestro::test::makeCatalogFile;
using kestro::test::readAll;
using kestro::test::writeAll;

namespace {

QStringList columnsOf(const Database& db, const QString& table) {
    QStringList columns;
    Statement s = db.prepare("SELECT name FROM pragma_table_info(?1)");
    s.bind(1, table);
    while (s.next())
        columns << s.text(0);
    return columns;
}

} // namespace

TEST(Template, HoldsTheFixedTablesWithTheirColumnsAndOneNameRow) {
    const test::ScratchCatalog c;
    const Database& db = c.db;
    EXPECT_EQ(db.tableNames(), schema::fixedTables() + NameIndexTables() + FolderRunsTables());
    EXPECT_EQ(columnsOf(db, "Name"), QStringList{"name"});
    EXPECT_EQ(columnsOf(db, "categories"), (QStringList{"key", "category"}));
    EXPECT_EQ(columnsOf(db, "index"),
              (QStringList{"tablename", "name", "thedate", "size", "free", "used", "volumetype",
                           "category", "thedescription", "dirs", "files"}));
    const QStringList volumeColumns{"name", "parent", "size", "thedate", "thedescription"};
    EXPECT_EQ(columnsOf(db, "template_dirs"), volumeColumns);
    EXPECT_EQ(columnsOf(db, "template_files"), volumeColumns);
    EXPECT_EQ(std::get<qint64>(db.scalar("SELECT count(*) FROM Name")), 1);
    EXPECT_EQ(std::get<qint64>(db.scalar("SELECT count(*) FROM \"index\"")), 0);
    // Table and column names answer in any letter case.
    EXPECT_NO_THROW(db.scalar("SELECT TableName FROM [Index]"));
    // A volume's tablename is unique.
    db.execute("INSERT INTO \"index\" (tablename, name) VALUES (?1, ?2)", "71330842", "Disk");
    EXPECT_THROW(db.execute("INSERT INTO \"index\" (tablename) VALUES (?1)", "71330842"),
                 CatalogError);
}

TEST(OpenModes, ReadOnlyOpenRefusesWritesAndSharedOpenAcceptsThem) {
    QTemporaryDir dir;
    const QString path = makeCatalogFile(dir.filePath("c.mdb"));
    {
        const Database db = Catalog(path, OpenMode::ExclusiveReadOnly).open();
        EXPECT_THROW(db.execute("UPDATE Name SET name = ?1", "changed"), CatalogError);
        EXPECT_EQ(std::get<QString>(db.scalar("SELECT name FROM Name")), "Kestro Catalog");
    }
    {
        const Database db = Catalog(path, OpenMode::SharedReadWrite).open();
        db.execute("UPDATE Name SET name = ?1", "changed");
        EXPECT_EQ(std::get<QString>(db.scalar("PRAGMA journal_mode")), "delete");
    }
    EXPECT_EQ(
        std::get<QString>(
            Catalog(path, OpenMode::ExclusiveReadOnly).open().scalar("SELECT name FROM Name")),
        "changed");
}

TEST(OpenModes, ReadOnlyOpenHoldsTheFileAgainstWritersOfAnotherConnection) {
    QTemporaryDir dir;
    const QString path = makeCatalogFile(dir.filePath("c.mdb"));
    const Database reader = Catalog(path, OpenMode::ExclusiveReadOnly).open();
    reader.scalar("SELECT name FROM Name");
    Database writer = Database::open(path, OpenMode::SharedReadWrite);
    sqlite3_busy_timeout(writer.handle(), 50);
    EXPECT_THROW(writer.execute("UPDATE Name SET name = 'x'"), CatalogError);
}

TEST(Refusal, FilesThatAreNoUsableCatalogAreRefusedWithAMessageNamingThem) {
    QTemporaryDir dir;
    const QString junk = dir.filePath("junk.mdb");
    writeAll(junk, QByteArray(4096, 'x'));
    const QString missing = dir.filePath("missing.mdb");
    const QString plain = dir.filePath("plain.mdb");
    {
        sqlite3* db = nullptr;
        sqlite3_open(plain.toUtf8().constData(), &db);
        // Another program's database, in WAL mode: opening it for writing
        // once switched its journal mode before it was refused.
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; CREATE TABLE t(x)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    const QString damaged = makeCatalogFile(dir.filePath("damaged.mdb"));
    Database::open(damaged, OpenMode::SharedReadWrite).executeScript("DROP TABLE categories;");

    const std::pair<QString, QString> cases[] = {
        {junk, "cannot be read as a catalog"},
        {missing, "does not exist"},
        {plain, "is not a Kestro Pro catalog"},
        {damaged, "its table \"categories\" is missing"},
    };
    for (const auto& [path, expected] : cases) {
        const QByteArray before = QFile::exists(path) ? readAll(path) : QByteArray();
        try {
            Catalog(path, OpenMode::SharedReadWrite).open();
            ADD_FAILURE() << path.toStdString() << " was accepted";
        } catch (const CatalogError& e) {
            EXPECT_TRUE(e.message().contains(path)) << e.what();
            EXPECT_TRUE(e.message().contains(expected)) << e.what();
        }
        if (!before.isEmpty()) {
            EXPECT_EQ(readAll(path), before) << "a refused file is never written to";
        }
    }
    EXPECT_FALSE(QFile::exists(missing)) << "opening must never create a file";
}

using test::Engine;
using Engines = test::OnEachEngine;

TEST_P(Engines, QuotesPercentSignsAndOtherTextAreStoredAndFoundAsTheyAre) {
    const QStringList names{"Tom's \"best\" disk", "100% [done]", "a_b; DROP TABLE Name;--",
                            "Größe 日本語",        "line\nbreak", "what? ?1 $1"};
    int key = 0;
    for (const QString& name : names)
        db.execute("INSERT INTO categories (\"key\", category) VALUES (?1, ?2)", ++key, name);
    for (const QString& name : names)
        EXPECT_EQ(std::get<qint64>(
                      db.scalar("SELECT count(*) FROM categories WHERE category = ?1", name)),
                  1)
            << name.toStdString();
    // A "?" in a quoted text or name is no parameter; a bare one takes the
    // number after the largest so far.
    EXPECT_EQ(NullToEmpty(db.scalar("SELECT '?1 ' || ? || \"category\" FROM categories WHERE "
                                    "\"key\" = ?",
                                    "x", 6)),
              "?1 xwhat? ?1 $1");
    EXPECT_TRUE(db.hasTable("Name"));
    EXPECT_FALSE(db.hasTable("Nam"));
    // A column is read by its whole name, in any letter case.
    Statement row = db.prepare("SELECT 1 AS categoryKey, 2 AS Category");
    ASSERT_TRUE(row.next());
    EXPECT_EQ(row.integer("category"), 2);
}

TEST_P(Engines, NumbersNullAndBytesComeBackAsTheyWentIn) {
    db.executeScript("CREATE TABLE t (i BIGINT, r DOUBLE PRECISION, b " +
                     std::string(db.isHosted() ? "BYTEA" : "BLOB") + ");");
    const std::string bytes("\0\xff\\x00'", 6);
    Statement insert = db.prepare("INSERT INTO t (i, r, b) VALUES (?1, ?2, ?3)");
    insert.bind(1, std::numeric_limits<qint64>::min()).bind(2, 0.1).bindBlob(3, bytes).run();
    EXPECT_EQ(db.changes(), 1);
    insert.reset();
    insert.bindNull(1).bind(2, -1e300).bindBlob(3, "").run();
    Statement rows = db.prepare("SELECT i, r, b FROM t ORDER BY r");
    ASSERT_TRUE(rows.next());
    EXPECT_TRUE(rows.isNull("i"));
    EXPECT_EQ(rows.value("r"), SqlValue(-1e300));
    EXPECT_EQ(rows.blob(2), "");
    EXPECT_FALSE(rows.isNull(2)) << "an empty blob is no Null";
    ASSERT_TRUE(rows.next());
    EXPECT_EQ(rows.value("i"), SqlValue(std::numeric_limits<qint64>::min()));
    EXPECT_EQ(rows.real(1), 0.1);
    EXPECT_EQ(rows.blob(2), bytes);
    EXPECT_FALSE(rows.next());
    db.execute("UPDATE t SET i = 7");
    EXPECT_EQ(db.changes(), 2);
}

TEST_P(Engines, TablesAreListedInTheOrderTheyWereMade) {
    db.executeScript("CREATE TABLE \"B_files\" (x TEXT); CREATE TABLE \"a_dirs\" (x TEXT);");
    const QStringList tables = db.tableNames();
    ASSERT_GE(tables.size(), 2);
    EXPECT_EQ(tables.mid(tables.size() - 2), (QStringList{"B_files", "a_dirs"}));
    EXPECT_TRUE(db.hasTable("b_FILES"));
}

TEST_P(Engines, FailuresAreCatalogErrorsNamingTheCatalog) {
    db.execute("INSERT INTO \"index\" (tablename) VALUES (?1)", "71330842");
    const char* failing[] = {"INSERT INTO \"index\" (tablename) VALUES ('71330842')",
                             "SELECT nothing FROM nowhere"};
    for (const char* sql : failing) {
        try {
            db.execute(sql);
            ADD_FAILURE() << sql << " did not fail";
        } catch (const CatalogError& e) {
            EXPECT_TRUE(e.message().contains(locationForDisplay(location))) << e.what();
        }
    }
    // A file holds a text with a NUL character; a server's text would end at
    // it, and is refused whole.
    const QString nul = QString("nul") + QChar(0) + "name";
    if (db.isHosted()) {
        EXPECT_THROW(db.execute("UPDATE Name SET name = ?1", nul), CatalogError);
    } else {
        db.execute("UPDATE Name SET name = ?1", nul);
        EXPECT_EQ(NullToEmpty(db.scalar("SELECT name FROM Name")), nul);
    }
}

TEST_P(Engines, ReadOnlyModeRefusesWritesAndReads) {
    const Database reader = Catalog(location, OpenMode::ExclusiveReadOnly).open();
    EXPECT_THROW(reader.execute("UPDATE Name SET name = ?1", "changed"), CatalogError);
    EXPECT_EQ(NullToEmpty(reader.scalar("SELECT name FROM Name")), "Kestro Catalog");
}

TEST_P(Engines, UncommittedWorkIsUndoneAndANestedOneAloneOrWithTheOuterOne) {
    const auto add = [&](int key, const char* category) {
        db.execute("INSERT INTO categories (\"key\", category) VALUES (?1, ?2)", key, category);
    };
    const auto categories = [&] {
        QStringList all;
        Statement s = db.prepare("SELECT category FROM categories ORDER BY \"key\"");
        while (s.next())
            all << s.text(0);
        return all;
    };
    {
        Database::Transaction outer(db);
        add(1, "outer");
        {
            Database::Transaction inner(db);
            add(2, "undone");
        }
        {
            Database::Transaction inner(db);
            add(3, "inner");
            inner.commit();
        }
        outer.commit();
    }
    EXPECT_EQ(categories(), (QStringList{"outer", "inner"}));
    {
        Database::Transaction outer(db);
        Database::Transaction inner(db);
        add(4, "lost with the outer one");
        inner.commit();
    }
    EXPECT_EQ(categories(), (QStringList{"outer", "inner"}));
    db.compact();
    EXPECT_EQ(categories(), (QStringList{"outer", "inner"}));
}

TEST_P(Engines, AppendedRowsComeBackWithTheirRowidsAndTextsAsTheyWentIn) {
    db.executeScript(schema::createVolumeTableSql(db.isHosted(), "7_files", "template_files") +
                     ";");
    // Texts that COPY's text format escapes, and enough long names for
    // several batches.
    const std::vector<std::string> odd{"tab\there", "line\nfeed\rreturn", "back\\slash", "\\N",
                                       "'quoted' \"name\""};
    std::vector<std::string> names = odd;
    for (int n = 0; n < 4000; ++n)
        names.push_back(std::to_string(n) + std::string(300, 'x'));
    std::vector<qint64> rowids;
    {
        Database::Transaction transaction(db);
        RowAppender rows(db, "7_files", "parent, name, size");
        for (const std::string& name : names)
            rowids.push_back(rows.append({std::nullopt, name, "1,024"}));
        rows.flush();
        transaction.commit();
    }
    Statement stored = db.prepare("SELECT rowid, name, parent FROM \"7_files\" ORDER BY rowid");
    for (size_t n = 0; n < names.size(); ++n) {
        ASSERT_TRUE(stored.next());
        EXPECT_EQ(stored.integer(0), rowids[n]);
        EXPECT_EQ(stored.utf8(1), names[n]);
        EXPECT_TRUE(stored.isNull(2));
    }
    EXPECT_FALSE(stored.next());
    // A row inserted afterwards takes the rowid after them.
    db.execute("INSERT INTO \"7_files\" (name) VALUES ('later')");
    EXPECT_EQ(std::get<qint64>(db.scalar("SELECT rowid FROM \"7_files\" WHERE name = 'later'")),
              rowids.back() + 1);
}

TEST_P(Engines, ARowTheCatalogRefusesIsAFailureOnceTheRowsAreSent) {
    db.executeScript("CREATE TABLE strict (name TEXT NOT NULL" +
                     schema::rowidColumnSql(db.isHosted()) + ");");
    {
        Database::Transaction transaction(db);
        RowAppender rows(db, "strict", "name");
        EXPECT_THROW(
            {
                rows.append({"undone"});
                rows.append({std::nullopt});
                rows.flush();
            },
            CatalogError);
    }
    // The connection is free again, and nothing of the rows stayed.
    EXPECT_EQ(db.scalar("SELECT count(*) FROM strict"), SqlValue(qint64(0)));
}

TEST_P(Engines, ARowByRowReadGivesEveryRowAndAReadStoppedEarlyLeavesTheConnectionFree) {
    for (int key = 1; key <= 3; ++key)
        db.execute("INSERT INTO categories (\"key\", category) VALUES (?1, 'c')", key);
    const auto keys = [](Statement& rows, int atMost) {
        QStringList read;
        while (read.size() < atMost && rows.next())
            read << rows.text(0);
        return read;
    };
    Database::Transaction transaction(db);
    Statement rows = db.prepare("SELECT \"key\" FROM categories ORDER BY \"key\"");
    rows.readRowByRow();
    EXPECT_EQ(keys(rows, 10), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(keys(rows, 1), QStringList{"1"}) << "after the end, the next read starts again";
    rows.reset();
    EXPECT_EQ(db.scalar("SELECT count(*) FROM categories"), SqlValue(qint64(3)));
    {
        Statement dropped = db.prepare("SELECT category FROM categories");
        dropped.readRowByRow();
        EXPECT_EQ(keys(dropped, 1), QStringList{"c"});
    }
    db.execute("DELETE FROM categories WHERE \"key\" = 2");
    transaction.commit();
    EXPECT_EQ(db.scalar("SELECT count(*) FROM categories"), SqlValue(qint64(2)));
    // A server's failure in the middle of the rows (a file reads 1 / 0 as Null).
    if (db.isHosted()) {
        Statement failing = db.prepare("SELECT 1 / (\"key\" - 3) FROM categories ORDER BY \"key\"");
        failing.readRowByRow();
        EXPECT_THROW(keys(failing, 10), CatalogError);
        EXPECT_EQ(db.scalar("SELECT count(*) FROM categories"), SqlValue(qint64(2)));
    }
}

INSTANTIATE_TEST_SUITE_P(, Engines, test::kEachEngine, test::engineName);
