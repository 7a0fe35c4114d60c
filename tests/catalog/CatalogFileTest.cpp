#include "catalog/CatalogFile.h"

#include "catalog/CatalogError.h"
#include "catalog/NameIndex.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestro;
using kestro::test::makeCatalogFile;
using kestro::test::readAll;
using kestro::test::templatePath;
using kestro::test::writeAll;

TEST(NewCatalog, IsAByteCopyOfTheTemplateAndReplacesAnExistingFile) {
    QTemporaryDir dir;
    const QString target = dir.filePath("new.mdb");
    writeAll(target, "an older file of that name");
    int blocks = 0;
    createCatalogFromTemplate(templatePath(), target, [&] { ++blocks; });
    const QByteArray expected = readAll(templatePath());
    EXPECT_EQ(readAll(target), expected);
    EXPECT_EQ(blocks, (expected.size() + 31999) / 32000);
    EXPECT_NO_THROW(Catalog(target, OpenMode::SharedReadWrite).open());
}

TEST(NewCatalog, FailedCopyLeavesTheExistingFileAndNoLeftovers) {
    QTemporaryDir dir;
    const QString target = dir.filePath("keep.mdb");
    writeAll(target, "precious");
    EXPECT_THROW(createCatalogFromTemplate(dir.filePath("no-template.kst"), target), CatalogError);
    EXPECT_EQ(readAll(target), "precious");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.mdb"});

    try {
        createCatalogFromTemplate(templatePath(), dir.filePath("no-such-folder/x.mdb"));
        ADD_FAILURE() << "writing into a missing folder succeeded";
    } catch (const CatalogError& e) {
        EXPECT_TRUE(e.message().contains("no-such-folder/x.mdb")) << e.what();
    }
}

TEST(Probe, AcceptsAReadableFileOnly) {
    QTemporaryDir dir;
    EXPECT_TRUE(probeCatalogFile(makeCatalogFile(dir.filePath("c.mdb"))));
    EXPECT_FALSE(probeCatalogFile(dir.filePath("missing.mdb")));
    EXPECT_FALSE(probeCatalogFile(dir.path()));
}

TEST(Compact, KeepsEveryRowAndGivesSpaceBack) {
    QTemporaryDir dir;
    const Catalog catalog(makeCatalogFile(dir.filePath("c.mdb")), OpenMode::SharedReadWrite);
    {
        const Database db = catalog.open();
        db.executeScript("CREATE TABLE v1_dirs AS SELECT * FROM template_dirs;"
                         "CREATE TABLE v1_files AS SELECT * FROM template_files;");
        db.execute("INSERT INTO \"index\" (tablename, name) VALUES ('v1', 'Disk \"one\"')");
        db.execute("INSERT INTO v1_dirs (name, size) VALUES ('D:', '            1KB')");
        Database::Transaction t(db);
        for (int i = 0; i < 5000; ++i)
            db.execute("INSERT INTO v1_files (name, parent) VALUES (?1, 'D:')",
                       QString("file %1 with a longish name to take space").arg(i));
        t.commit();
        IndexAllNames(db); // compaction makes the index anew: have one before too
        db.execute("DELETE FROM v1_files WHERE rowid % 2 = 0");
    }
    const qint64 before = QFileInfo(catalog.path()).size();
    compactCatalog(catalog);
    EXPECT_LT(QFileInfo(catalog.path()).size(), before);
    const Database db = catalog.open();
    EXPECT_EQ(std::get<qint64>(db.scalar("SELECT count(*) FROM v1_files")), 2500);
    EXPECT_EQ(std::get<QString>(db.scalar("SELECT name FROM \"index\"")), "Disk \"one\"");
    EXPECT_EQ(std::get<QString>(db.scalar("SELECT name FROM Name")), "Kestro Catalog");
}

TEST(Compact, FailureOnAFullDiskLeavesTheFileAsItWas) {
    test::SmallDisk disk(2 << 20);
    if (!disk.mounted())
        GTEST_SKIP() << disk.failure();
    const Catalog catalog(makeCatalogFile(disk.filePath("c.mdb")), OpenMode::SharedReadWrite);
    {
        const Database db = catalog.open();
        Database::Transaction t(db);
        for (int i = 0; i < 4000; ++i)
            db.execute("INSERT INTO categories (category) VALUES (?1)",
                       QString(200, QChar('a' + i % 26)));
        t.commit();
        db.execute("DELETE FROM categories WHERE \"key\" % 3 = 0");
    }
    const QByteArray before = readAll(catalog.path());
    disk.fill();
    try {
        compactCatalog(catalog);
        ADD_FAILURE() << "compaction on a full disk reported success";
    } catch (const CatalogError& e) {
        EXPECT_TRUE(e.message().contains("left as it was")) << e.what();
    }
    EXPECT_EQ(readAll(catalog.path()), before);
    QFile::remove(disk.filePath(".filler"));
    EXPECT_EQ(std::get<qint64>(catalog.open().scalar("SELECT count(*) FROM categories")), 2667);
}
