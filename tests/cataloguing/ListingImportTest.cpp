#include "cataloguing/ListingImport.h"

#include "RecordingProgress.h"
#include "catalog/Catalog.h"
#include "catalog/CatalogError.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestro;
using kestro::test::RecordingProgress;

namespace {

// Listing lines: fields joined by the byte 0xFE, each line ended by CR LF.
QByteArray listing(std::initializer_list<std::initializer_list<const char*>> lines) {
    QByteArray bytes;
    for (const auto& fields : lines)
        bytes += QByteArrayList(fields.begin(), fields.end()).join('\xFE') + "\r\n";
    return bytes;
}

struct ImportFixture : ::testing::Test {
    QTemporaryDir dir;
    Database db =
        Database::open(test::makeCatalogFile(dir.filePath("c.mdb")), OpenMode::SharedReadWrite);
    RecordingProgress progress;

    void SetUp() override {
        db.executeScript("CREATE TABLE v_dirs AS SELECT * FROM template_dirs;"
                         "CREATE TABLE v_files AS SELECT * FROM template_files;");
    }
    QString write(const QString& name, const QByteArray& bytes) {
        test::writeAll(dir.filePath(name), bytes);
        return dir.filePath(name);
    }
    QStringList rows(const char* table) {
        QStringList result;
        Statement s = db.prepare(std::string("SELECT coalesce(parent, '<null>'), name, size, "
                                             "coalesce(thedate, '<null>') FROM ") +
                                 table + " ORDER BY rowid");
        while (s.next())
            result << QStringList{s.text(0), s.text(1), s.text(2), s.text(3)}.join('|');
        return result;
    }
};

} // namespace

// The last line lacks its line end: the listing is complete all the same.
TEST_F(ImportFixture, FoldersBecomeRowsWithSizeAndDateTexts) {
    const QString path =
        write("dirs.txt", listing({{"D:", "1048577"},
                                   {"D:", "GAMES", "1536", "1998-03-05 14:07:22"},
                                   {"D:\\GAMES", "DOOM", "0", "2000-12-31 00:05:00"}})
                              .chopped(2));
    const ImportCount count = ImportFolders(db, "v_dirs", path, progress);
    EXPECT_EQ(count.lines, 3);
    EXPECT_EQ(count.malformed, 0);
    EXPECT_FALSE(count.aborted);
    EXPECT_EQ(rows("v_dirs"), (QStringList{"<null>|D:|        1,025KB|<null>",
                                           "D:|GAMES|            2KB|3/5/98 2:07pm",
                                           "D:\\GAMES|DOOM|            1KB|12/31/00 12:05am"}));
    EXPECT_EQ(progress.statuses, (QStringList{"Importing Directories...", "<idle>"}));
    EXPECT_EQ(progress.titles, QStringList{"Catalog disk"});
    EXPECT_EQ(progress.maximum, QFileInfo(path).size());
}

TEST_F(ImportFixture, AnEmptyVolumeHasOnlyItsRootRowAndNoFileRows) {
    EXPECT_EQ(
        ImportFolders(db, "v_dirs", write("dirs.txt", listing({{"E:", "0"}})), progress).lines, 1);
    EXPECT_EQ(rows("v_dirs"), QStringList{"<null>|E:|            1KB|<null>"});
    EXPECT_EQ(ImportFiles(db, "v_files", write("files.txt", ""), "E:", progress).lines, 0);
    EXPECT_TRUE(rows("v_files").isEmpty());
}

TEST_F(ImportFixture, AFolderListingWithoutAWellFormedRootLineIsRefused) {
    const QString path =
        write("dirs.txt", listing({{"D:", "GAMES", "1536", "1998-03-05 14:07:22"}}));
    EXPECT_THROW(ImportFolders(db, "v_dirs", path, progress), CatalogError);
    EXPECT_THROW(ImportFolders(db, "v_dirs", dir.filePath("missing.txt"), progress), CatalogError);
    const QString extraField = write("root.txt", listing({{"D:", "0", "1998-03-05 14:07:22"}}));
    EXPECT_THROW(ImportFolders(db, "v_dirs", extraField, progress), CatalogError);
}

TEST_F(ImportFixture, FilesKeepNamesAsTheyAreSpacesTooAndLeaveOutOnlyTheRootMarker) {
    const QString path = write(
        "files.txt", listing({{"D:", "Kestro.cat", "10", "2020-01-01 10:00:00"},
                              {"D:", "Tom's \"100%\" a_b [1].txt", "1024", "2020-01-01 12:00:00"},
                              {"D:\\OLD", "KESTRO.CAT", "10", "2019-06-30 23:59:59"},
                              {"D:", " Größe 日本語.jpg ", "5000000", "2021-07-04 13:30:00"}}));
    const ImportCount count = ImportFiles(db, "v_files", path, "D:", progress);
    EXPECT_EQ(count.lines, 4) << "the marker's line is read and counted";
    EXPECT_EQ(rows("v_files"),
              (QStringList{"D:|Tom's \"100%\" a_b [1].txt|            1KB|1/1/20 12:00pm",
                           "D:\\OLD|KESTRO.CAT|            1KB|6/30/19 11:59pm",
                           "D:| Größe 日本語.jpg |        4,883KB|7/4/21 1:30pm"}));
}

TEST_F(ImportFixture, MalformedLinesAreSkippedAndCounted) {
    const QByteArray good = listing({{"D:", "ok.txt", "1", "2020-01-01 10:00:00"}});
    const QByteArray bad =
        listing({{"D:", "no-date.txt", "1"},
                 {"D:", "word-size.txt", "12kb", "2020-01-01 10:00:00"},
                 {"D:", "bad-date.txt", "1", "2020-02-30 10:00:00"},
                 {"D:", "extra.txt", "1", "2020-01-01 10:00:00", "x"},
                 {"just one field"},
                 // no UTF-8, or a NUL: never what the listing writer leaves
                 {"E:", "1844674407\x90\x8a.txt", "1", "2024-02-29 23:59:59"},
                 {"D:\xff", "x", "1", "2020-01-01 10:00:00"},
                 {"D:", "n#l", "1", "2020-01-01 10:00:00"},
                 {"D:", "too-big.txt", "18446744073709551616", "2020-01-01 10:00:00"}})
            .replace('#', '\0');
    // An empty line is malformed too; a last line cut short after its CR is not.
    const QByteArray listing = bad + "\r\n" + good + good.chopped(1);
    const ImportCount count =
        ImportFiles(db, "v_files", write("files.txt", listing), "D:", progress);
    EXPECT_EQ(count.lines, 12);
    EXPECT_EQ(count.malformed, 10);
    EXPECT_EQ(rows("v_files"), QStringList(2, "D:|ok.txt|            1KB|1/1/20 10:00am"));
}

TEST_F(ImportFixture, AbortStopsInsideAnImportAndTheFileImportThenReadsNothing) {
    QByteArray lines = listing({{"D:", "100"}});
    for (int i = 0; i < 100; ++i)
        lines += listing({{"D:", qPrintable(QString("F%1").arg(i)), "1", "2020-01-01 10:00:00"}});
    // The folder import yields 10 times when it starts, then after every 11th line.
    progress.abortAfterYields = 12;
    const ImportCount folders = ImportFolders(db, "v_dirs", write("dirs.txt", lines), progress);
    EXPECT_TRUE(folders.aborted);
    EXPECT_EQ(folders.lines, 1 + 22);
    const ImportCount files = ImportFiles(db, "v_files", write("files.txt", lines), "D:", progress);
    EXPECT_TRUE(files.aborted);
    EXPECT_EQ(files.lines, 0);
    EXPECT_TRUE(rows("v_files").isEmpty());
}

TEST_F(ImportFixture, AGrowingFileListingIsImportedLineByLineAsItIsWritten) {
    const QString path = dir.filePath("files.txt");
    FileListingImport import(db, "v_files", path, "D:");
    EXPECT_EQ(import.importWritten(progress, 100), 0) << "the walk has not made the listing yet";

    const QByteArray lines = listing({{"D:", "a.txt", "1", "2020-01-01 10:00:00"},
                                      {"D:", "Kestro.cat", "10", "2020-01-01 10:00:00"},
                                      {"D:\\SUB", "b.txt", "2048", "2020-01-02 10:00:00"},
                                      {"D:\\SUB", "c.txt", "0", "2020-01-03 10:00:00"}});
    // Written in three pieces, the second ending inside a line, the last
    // without its line end.
    const qsizetype cut = lines.indexOf("b.txt");
    test::writeAll(path, lines.left(cut));
    EXPECT_EQ(import.importWritten(progress, 1), 1) << "no more lines than asked for";
    EXPECT_EQ(import.importWritten(progress, 100), 1) << "the marker's line, read, not kept";
    EXPECT_EQ(import.importWritten(progress, 100), 0) << "half a line waits for the rest";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(lines.mid(cut, lines.size() - cut - 2));
    file.close();
    EXPECT_EQ(import.importWritten(progress, 100), 1);
    EXPECT_EQ(rows("v_files"), (QStringList{"D:|a.txt|            1KB|1/1/20 10:00am",
                                            "D:\\SUB|b.txt|            2KB|1/2/20 10:00am"}));

    const ImportCount count = import.finish(progress);
    EXPECT_EQ(count.lines, 4);
    EXPECT_EQ(rows("v_files").last(), "D:\\SUB|c.txt|            1KB|1/3/20 10:00am");
    EXPECT_EQ(progress.statuses, (QStringList{"Importing Files...", "<idle>"}));
    EXPECT_EQ(progress.maximum, lines.size() - 2);
}
