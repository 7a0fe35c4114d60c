#include "catalog/CatalogEditing.h"

#include "ScratchCatalog.h"
#include "catalog/Catalog.h"
#include "catalog/CatalogError.h"
#include "catalog/ChangeReport.h"
#include "catalog/FolderRuns.h"
#include "catalog/NameIndex.h"
#include "catalog/Schema.h"
#include "support/CatalogBuilder.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestro;

namespace {

// A catalog with two real volumes, catalogued from two small folders.
struct EditingFixture : ::testing::TestWithParam<test::Engine> {
    QTemporaryDir home, diskA, diskB;
    QString catalogPath = test::newCatalog(GetParam(), home);
    QString a, b;

    void SetUp() override {
        for (const QTemporaryDir* disk : {&diskA, &diskB}) {
            QDir(disk->path()).mkpath("DOCS/OLD");
            test::writeAll(disk->filePath("DOCS/OLD/letter.txt"), "x");
            test::writeAll(disk->filePath("DOCS/note.txt"), "x");
        }
        a = test::catalogFolder(home.path(), catalogPath, diskA.path(), "Disk A", 'V');
        b = test::catalogFolder(home.path(), catalogPath, diskB.path(), "Disk B", 'W');
        ASSERT_NE(a, b);
    }
    Database db() const { return Catalog(catalogPath, OpenMode::SharedReadWrite).open(); }
    // The rows of `table` that `where` picks, and a column of the first.
    qint64 count(const QString& table, const std::string& where) const {
        return std::get<qint64>(
            db().scalar("SELECT count(*) FROM " + quoteIdentifier(table) + " WHERE " + where));
    }
    QString value(const QString& table, const char* column, const std::string& where) const {
        const SqlValue v = db().scalar("SELECT " + std::string(column) + " FROM " +
                                       quoteIdentifier(table) + " WHERE " + where);
        return std::holds_alternative<QString>(v) ? std::get<QString>(v) : QString("<null>");
    }
    static std::string volumeRow(const QString& tablename) {
        return "tablename = '" + tablename.toStdString() + "'";
    }
    // Every table of the catalog that holds a volume's rows.
    QStringList volumeTables() const {
        QStringList tables = db().tableNames();
        tables.removeIf([](const QString& t) { return !schema::isVolumeTable(t); });
        return tables;
    }
};

} // namespace

using CategoryKeys = test::OnEachEngine;

TEST_P(CategoryKeys, TheSmallestFreeKeyFromOne) {
    EXPECT_EQ(NextCategoryKey(db), 1);
    const std::pair<std::vector<int>, int> cases[] = {
        {{1, 2, 4}, 3}, {{2, 3}, 1}, {{1, 2, 3}, 4}, {{1, 3}, 2}};
    for (const auto& [keys, expected] : cases) {
        db.executeScript("DELETE FROM categories;");
        for (int key : keys)
            db.execute("INSERT INTO categories (\"key\", category) VALUES (?1, 'c')", key);
        EXPECT_EQ(NextCategoryKey(db), expected);
    }
    EXPECT_EQ(AddCategory(db, "Tom's \"games\""), 2);
    EXPECT_EQ(std::get<QString>(db.scalar("SELECT category FROM categories WHERE \"key\" = 2")),
              "Tom's \"games\"");
}

TEST_P(EditingFixture, CategorizeAndRenameStoreTheTextsAsGiven) {
    const int games = AddCategory(db(), "Games");
    CategorizeVolume(db(), a, games);
    EXPECT_EQ(value("index", "category", volumeRow(a)), "1");
    CategorizeVolume(db(), a, 0);
    EXPECT_EQ(value("index", "category", volumeRow(a)), "0");

    RenameCatalog(db(), "My \"archive\"");
    RenameCategory(db(), games, "100% games");
    RenameVolume(db(), b, "B's disk");
    EXPECT_EQ(value("name", "name", "true"), "My \"archive\"");
    EXPECT_EQ(value("categories", "category", "true"), "100% games");
    EXPECT_EQ(value("index", "name", volumeRow(b)), "B's disk");
    EXPECT_THROW(RenameVolume(db(), "gone", "x"), CatalogError);
    EXPECT_THROW(CategorizeVolume(db(), "gone", 1), CatalogError);
}

TEST_P(EditingFixture, DeletingACategoryDeletesItsVolumesWithTheirTablesAndReports) {
    test::writeAll(diskA.filePath("new.txt"), "x");
    ASSERT_EQ(test::catalogFolder(home.path(), catalogPath, diskA.path(), "Disk A", 'V'), a);
    ASSERT_EQ(test::catalogFolder(home.path(), catalogPath, diskB.path(), "Disk B", 'W'), b);
    ASSERT_EQ(ReadChanges(db(), a).size(), 1u);
    const int key = AddCategory(db(), "Old");
    CategorizeVolume(db(), a, key);
    DeleteCategory(db(), key);
    EXPECT_EQ(count("categories", "true"), 0);
    EXPECT_EQ(count("index", "true"), 1);
    EXPECT_EQ(value("index", "tablename", "true"), b);
    EXPECT_FALSE(db().hasTable(schema::dirsTable(a)));
    EXPECT_FALSE(db().hasTable(schema::filesTable(a)));
    EXPECT_TRUE(db().hasTable(schema::dirsTable(b)));
    EXPECT_FALSE(LastChangeRun(db(), a));
    EXPECT_TRUE(ReadChanges(db(), a).empty());
    EXPECT_TRUE(LastChangeRun(db(), b)) << "the other volume keeps its report";
}

TEST_P(EditingFixture, SeveralDeletionsInOneTransactionFailOrSucceedTogether) {
    const QStringList before = volumeTables();
    {
        const Database d = db();
        Database::Transaction all(d);
        DeleteVolume(d, a);
        EXPECT_THROW(DeleteFileRow(d, "no-such-volume", "D:", "x"), CatalogError);
    }
    EXPECT_EQ(volumeTables(), before) << "the first deletion was undone with the rest";
    EXPECT_EQ(count("index", "true"), 2);
    {
        const Database d = db();
        Database::Transaction all(d);
        DeleteVolume(d, a);
        DeleteVolume(d, b);
        all.commit();
    }
    EXPECT_EQ(count("index", "true"), 0);
    EXPECT_EQ(volumeTables(), QStringList());
}

TEST_P(EditingFixture, DeletingAFolderRowLeavesWhatItHeld) {
    const QString dirs = schema::dirsTable(a), files = schema::filesTable(a);
    DeleteFolderRow(db(), a, "V:", "DOCS");
    EXPECT_EQ(count(dirs, "name = 'DOCS'"), 0);
    EXPECT_EQ(count(dirs, "name = 'OLD'"), 1);
    EXPECT_EQ(count(files, "parent = 'V:\\DOCS'"), 1);
    DeleteFileRow(db(), a, "V:\\DOCS", "note.txt");
    EXPECT_EQ(count(files, "parent = 'V:\\DOCS'"), 0);
}

TEST_P(EditingFixture, DescriptionsAreSetExactlyAndRemovedWithNothing) {
    DescribeVolume(db(), b, QString("The \"B\" disk, 100%"));
    DescribeFolder(db(), a, "V:\\DOCS", "OLD", QString("letters"));
    DescribeFile(db(), a, "V:\\DOCS\\OLD", "letter.txt", QString("to Tom's aunt"));
    EXPECT_EQ(value("index", "thedescription", volumeRow(b)), "The \"B\" disk, 100%");
    EXPECT_EQ(value(schema::dirsTable(a), "thedescription", "name = 'OLD'"), "letters");
    const QString files = schema::filesTable(a);
    EXPECT_EQ(value(files, "thedescription", "name = 'letter.txt'"), "to Tom's aunt");
    DescribeFile(db(), a, "V:\\DOCS\\OLD", "letter.txt", std::nullopt);
    EXPECT_EQ(value(files, "thedescription", "name = 'letter.txt'"), "<null>");
    // Folders and files are found by exact name and parent.
    EXPECT_THROW(DescribeFile(db(), a, "V:\\DOCS\\OLD", "LETTER.TXT", QString("x")), CatalogError);
    EXPECT_THROW(DescribeFolder(db(), a, "V:", "OLD", QString("x")), CatalogError);
}

INSTANTIATE_TEST_SUITE_P(, CategoryKeys, test::kEachEngine, test::engineName);
INSTANTIATE_TEST_SUITE_P(, EditingFixture, test::kEachEngine, test::engineName);
