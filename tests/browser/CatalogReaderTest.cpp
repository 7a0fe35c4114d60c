#include "browser/CatalogReader.h"

#include "catalog/Catalog.h"
#include "support/CatalogBuilder.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestro;

namespace {

// A catalog of two volumes catalogued from real folders:
//   "Stick" (Q:): Games\ (doom.exe, Old\ (pong.exe)), apps\, games\ (x), readme.txt
//   "Disc"  (R:): one file
class CatalogReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::makeCatalogFile(catalogPath);
        for (const char* file :
             {"stick/Games/doom.exe", "stick/Games/Old/pong.exe", "stick/apps/.keep",
              "stick/games/x", "stick/readme.txt", "disc/track.mp3"})
            put(file);
        stick =
            test::catalogFolder(home.path(), catalogPath, media.filePath("stick"), "Stick", 'Q');
        disc = test::catalogFolder(home.path(), catalogPath, media.filePath("disc"), "Disc", 'R');
    }

    void put(const QString& file) {
        QDir().mkpath(QFileInfo(media.filePath(file)).path());
        test::writeAll(media.filePath(file), "x");
    }
    Database open() const { return Catalog(catalogPath, OpenMode::SharedReadWrite).open(); }
    QString parentOfStick() {
        for (const VolumeEntry& volume : ReadVolumes(open()))
            if (volume.name == "Stick")
                return volume.parentKey;
        return "missing";
    }

    QTemporaryDir home, media;
    QString catalogPath = home.filePath("c.mdb");
    QString stick, disc;
};

} // namespace

TEST_F(CatalogReaderTest, VolumesComeWithTheirTopFoldersAndFigures) {
    const std::vector<VolumeEntry> volumes = ReadVolumes(open());
    ASSERT_EQ(volumes.size(), 2u);
    const VolumeEntry& first = volumes[0].name == "Stick" ? volumes[0] : volumes[1];
    EXPECT_EQ(first.key, stick + "_Q:");
    EXPECT_EQ(first.parentKey, "~");
    EXPECT_EQ(first.imageKey, "fixed");
    QStringList folders;
    for (const FolderEntry& folder : first.folders)
        folders << folder.key;
    // By name without regard to case; two folders may differ in case only.
    ASSERT_EQ(folders.size(), 3);
    EXPECT_EQ(folders[0], stick + "_Q:\\apps");
    EXPECT_TRUE(folders.contains(stick + "_Q:\\Games") && folders.contains(stick + "_Q:\\games"));
    EXPECT_GT(first.summary.capacity, 0);
    EXPECT_EQ(first.storedFiles, QString::number(first.summary.files));
    EXPECT_FALSE(first.summary.cataloged.isEmpty());
}

TEST_F(CatalogReaderTest, VolumesOfAKindGoByNameWithoutRegardToLetterCase) {
    open().execute("UPDATE \"index\" SET name = 'disc' WHERE tablename = ?1", disc);
    EXPECT_EQ(ReadVolumes(open())[0].name, "disc"); // before "Stick", which sorts first in bytes
}

TEST_F(CatalogReaderTest, NoCategoryIsNullEmptyOrZero) {
    const Database db = open();
    const auto setCategory = [&db, this](const SqlValue& category) {
        db.execute("UPDATE \"index\" SET category = ? WHERE tablename = ?", category, stick);
    };
    for (const SqlValue& none : {SqlValue{}, SqlValue{QString()}, SqlValue{QString("0")}}) {
        setCategory(none);
        EXPECT_EQ(parentOfStick(), "~");
    }
    setCategory(SqlValue{QString("3")});
    EXPECT_EQ(parentOfStick(), "`3");
    setCategory(SqlValue{3.0}); // a number stored as one
    EXPECT_EQ(parentOfStick(), "`3");
    setCategory(SqlValue{QString("3.5")}); // no whole number: the key as it stands
    EXPECT_EQ(parentOfStick(), "`3.5");
}

TEST_F(CatalogReaderTest, AVolumeWhoseTablesAreGoneIsLeftOut) {
    open().execute("DROP TABLE " + quoteIdentifier(stick + "_dirs"));
    const std::vector<VolumeEntry> volumes = ReadVolumes(open());
    ASSERT_EQ(volumes.size(), 1u);
    EXPECT_EQ(volumes[0].name, "Disc");
}

TEST_F(CatalogReaderTest, FoldersAndFilesOfAPath) {
    const Database db = open();
    const std::vector<FolderEntry> inGames = ReadSubFolders(db, stick, "Q:\\Games");
    ASSERT_EQ(inGames.size(), 1u);
    EXPECT_EQ(inGames[0].key, stick + "_Q:\\Games\\Old");
    EXPECT_TRUE(ReadSubFolders(db, stick, "Q:\\apps").empty());

    db.execute("UPDATE " + quoteIdentifier(stick + "_files") +
               " SET thedescription = 'the game' WHERE name = 'doom.exe'");
    const std::vector<ListingRow> files = ReadFileRows(db, stick, "Q:\\Games");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].name, "doom.exe");
    EXPECT_EQ(files[0].size.trimmed(), "1KB");
    EXPECT_EQ(files[0].description, std::optional<QString>("the game"));
    const std::vector<ListingRow> folders = ReadFolderRows(db, stick, "Q:\\Games");
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(folders[0].name, "Old");
    EXPECT_EQ(folders[0].description, std::nullopt);
}

TEST_F(CatalogReaderTest, TheRootAndCategoriesInTableOrder) {
    const Database db = open();
    db.execute("INSERT INTO categories (\"key\", category) VALUES (3, 'Old'), (1, 'New \"50%\"')");
    const RootAndCategories catalog = ReadRootAndCategories(db);
    EXPECT_EQ(catalog.name, "Kestro Catalog");
    ASSERT_EQ(catalog.categories.size(), 2u);
    EXPECT_EQ(catalog.categories[0].key, "`1");
    EXPECT_EQ(catalog.categories[0].name, "New \"50%\"");
    EXPECT_EQ(catalog.categories[1].key, "`3");
}

TEST_F(CatalogReaderTest, TheVolumeNameOfAnyKeyOfItsTables) {
    const Database db = open();
    EXPECT_EQ(VolumeNameOfKey(db, disc + "_R:"), "Disc");
    EXPECT_EQ(VolumeNameOfKey(db, stick + "_Q:\\Games\\Old"), "Stick");
    EXPECT_EQ(VolumeNameOfKey(db, "12345_Q:"), "");
}
