#include "platform/gui/IconCache.h"

#include "platform/FileTypes.h"
#include "platform/gui/IconTheme.h"
#include "platform/gui/ImageStore.h"
#include "support/GuiApplication.h"
#include "support/TestSupport.h"

#include <QColor>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kestro::FileTypes;
using kestro::IconCache;
using kestro::IconCacheFolderOf;
using kestro::ImageStore;
using kestro::test::readAll;
using kestro::test::writeAll;

namespace {

QColor centreOf(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage().pixelColor(8, 8);
}

bool saveRedBitmap(const QString& path) {
    QImage red(20, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    return red.save(path, "BMP");
}

// One start of the program over a program folder of its own: the registry,
// the image store and the icon cache, with the splash messages it showed.
struct Start {
    explicit Start(const QString& programFolder)
        : types(IconCacheFolderOf(programFolder)),
          cache(types, images, [this](const QString& message) { splash << message; }) {}

    FileTypes types;
    ImageStore images;
    QStringList splash;
    IconCache cache;
};

class IconCacheTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        kestro::test::ensureGuiApplication();
        kestro::UseDesktopIconTheme();
    }

    QTemporaryDir programFolder;
    QString cacheFolder = IconCacheFolderOf(programFolder.path());

    QStringList cacheFiles() const { return QDir(cacheFolder).entryList(QDir::Files); }

    // Dates every cache file back, so that a bitmap written again shows.
    void ageCacheFiles() const {
        for (const QString& name : cacheFiles()) {
            QFile file(cacheFolder + '/' + name);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            file.setFileTime(QDateTime(QDate(2000, 1, 1), QTime(0, 0)),
                             QFileDevice::FileModificationTime);
        }
    }
    QStringList filesChangedSinceAged() const {
        QStringList changed;
        for (const QString& name : cacheFiles())
            if (QFileInfo(cacheFolder + '/' + name).lastModified().date().year() != 2000)
                changed << name;
        return changed;
    }
};

} // namespace

TEST_F(IconCacheTest, FirstStartMakesABitmapForEveryKnownExtension) {
    Start start(programFolder.path());
    const int made = start.cache.RefreshIconCache();

    EXPECT_EQ(start.splash, QStringList{"Creating resources for the first time..."});
    const QStringList files = cacheFiles();
    EXPECT_EQ(files.size(), made);
    EXPECT_GT(made, start.types.knownExtensions().size() * 9 / 10);
    for (const QString& name : files) {
        ASSERT_TRUE(name.startsWith('k') && name.endsWith(".bmp")) << name.toStdString();
        EXPECT_TRUE(start.types.knownExtensions().contains(name.mid(1).chopped(4)))
            << name.toStdString();
    }

    // A bitmap is the icon in the middle of a white 20 x 20 surface.
    const QImage bitmap(cacheFolder + "/ktxt.bmp");
    ASSERT_EQ(bitmap.size(), QSize(20, 20));
    EXPECT_EQ(bitmap.pixelColor(0, 0), QColor(Qt::white));
    EXPECT_EQ(bitmap.pixelColor(19, 19), QColor(Qt::white));
    // Its list picture is the middle 16 x 16, the white around the icon
    // transparent and the icon's own pixels unchanged.
    const QImage picture = IconCache::ListPicture(bitmap).toImage();
    ASSERT_EQ(picture.size(), QSize(16, 16));
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0);
    int opaque = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (qAlpha(picture.pixel(x, y)) != 0) {
                ++opaque;
                EXPECT_EQ(picture.pixel(x, y) | 0xFF000000u,
                          bitmap.pixel(x + 2, y + 2) | 0xFF000000u);
            }
    EXPECT_GT(opaque, 16) << "the icon itself stays";

    // Every picture is in the store at once, and the names find them.
    EXPECT_TRUE(start.images.contains("ktxt"));
    EXPECT_EQ(start.types.FileIconKey("Notes.TXT"), "ktxt");
    EXPECT_EQ(start.types.FileIconKey("Main.class"), "leaf");
}

TEST_F(IconCacheTest, LaterStartLoadsTheCacheAndDrawsNothingUnlessTheFolderIsGone) {
    const int built = Start(programFolder.path()).cache.RefreshIconCache();
    ageCacheFiles();

    Start later(programFolder.path());
    EXPECT_EQ(later.cache.RefreshIconCache(), 0);
    EXPECT_EQ(later.splash, QStringList{"Loading resources..."});
    EXPECT_EQ(cacheFiles().size(), built);
    EXPECT_EQ(filesChangedSinceAged(), QStringList());
    EXPECT_TRUE(later.images.contains("ktxt"));
    EXPECT_TRUE(later.images.contains("kgz"));

    ASSERT_TRUE(QDir(cacheFolder).removeRecursively());
    Start afterRemoval(programFolder.path());
    EXPECT_EQ(afterRemoval.cache.RefreshIconCache(), built);
    EXPECT_EQ(afterRemoval.splash, QStringList{"Creating resources for the first time..."});
    EXPECT_EQ(cacheFiles().size(), built);
}

TEST_F(IconCacheTest, LaterStartOnlyAddsMissingBitmapsAndNeverReplacesOne) {
    Start(programFolder.path()).cache.RefreshIconCache();
    QFile::remove(cacheFolder + "/ktxt.bmp");
    ASSERT_TRUE(saveRedBitmap(cacheFolder + "/kgz.bmp"));
    const QByteArray redBytes = readAll(cacheFolder + "/kgz.bmp");
    ageCacheFiles();

    Start later(programFolder.path());
    EXPECT_EQ(later.cache.RefreshIconCache(), 1);
    EXPECT_EQ(filesChangedSinceAged(), QStringList{"ktxt.bmp"});
    EXPECT_EQ(readAll(cacheFolder + "/kgz.bmp"), redBytes);
    EXPECT_EQ(centreOf(later.images.icon("kgz")), QColor(Qt::red));
    EXPECT_EQ(later.types.FileIconKey("a.txt"), "ktxt");
}

TEST_F(IconCacheTest, CacheThatCannotBeWrittenStillShowsPicturesForThisRun) {
    // A file where the folder should be: the folder can be neither made nor written.
    writeAll(cacheFolder, "not a folder");
    Start start(programFolder.path());
    EXPECT_GT(start.cache.RefreshIconCache(), 0);
    EXPECT_EQ(readAll(cacheFolder), "not a folder");
    EXPECT_TRUE(start.images.contains("ktxt"));
    EXPECT_EQ(start.types.FileIconKey("a.txt"), "leaf");
}

TEST_F(IconCacheTest, BitmapThatCannotBeReadShowsLeaf) {
    QDir().mkpath(cacheFolder);
    writeAll(cacheFolder + "/kxyz.bmp", "BM broken");
    ASSERT_TRUE(saveRedBitmap(cacheFolder + "/KABC.BMP"));

    Start start(programFolder.path());
    start.cache.RefreshIconCache();
    EXPECT_EQ(start.splash, QStringList{"Loading resources..."});
    EXPECT_FALSE(start.images.contains("kxyz"));
    EXPECT_EQ(centreOf(start.images.icon("kxyz")), centreOf(start.images.icon("leaf")));
    EXPECT_EQ(centreOf(start.images.icon("kabc")), QColor(Qt::red));
    EXPECT_EQ(readAll(cacheFolder + "/kxyz.bmp"), "BM broken");
}
