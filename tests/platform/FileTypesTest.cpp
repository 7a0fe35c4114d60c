#include "platform/FileTypes.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kestro::FileTypes;
using kestro::IconCacheFolderOf;
using kestro::test::writeAll;

namespace {

// A program folder of its own, with an icon cache holding the given bitmaps
// (their content does not matter to the names).
class FileTypesTest : public ::testing::Test {
protected:
    QTemporaryDir programFolder;
    QString cacheFolder = IconCacheFolderOf(programFolder.path());

    void cache(std::initializer_list<const char*> fileNames) {
        QDir().mkpath(cacheFolder);
        for (const char* name : fileNames)
            writeAll(cacheFolder + '/' + name, "BM");
    }
};

} // namespace

TEST_F(FileTypesTest, NameWithoutDotIsUnknownAndShowsLeaf) {
    cache({"k.bmp", "kreadme.bmp"});
    const FileTypes types(cacheFolder);
    EXPECT_EQ(types.FileTypeName("README"), "<unknown file>");
    EXPECT_EQ(types.FileIconKey("README"), "leaf");
    EXPECT_EQ(types.FileTypeName(""), "<unknown file>");
    EXPECT_EQ(types.FileIconKey(""), "leaf");
}

TEST_F(FileTypesTest, OnlyTheTextAfterTheLastDotCountsInLowerCase) {
    cache({"kgz.bmp", "ktxt.bmp"});
    const FileTypes types(cacheFolder);
    EXPECT_EQ(types.FileTypeName("archive.tar.GZ"), "Gzip archive");
    EXPECT_EQ(types.FileIconKey("archive.tar.GZ"), "kgz");
    EXPECT_EQ(types.FileTypeName("Holiday Photo.JPG"), "JPEG image");
    EXPECT_EQ(types.FileTypeName("50% off \"final\".pdf"), "PDF document");
    EXPECT_EQ(types.FileTypeName("café.txt"), "plain text document");
    // The icon key drops surrounding blanks; the registry is asked without.
    EXPECT_EQ(types.FileIconKey("notes. TXT "), "ktxt");
    EXPECT_EQ(types.FileTypeName("notes. TXT "), " txt  file");
}

TEST_F(FileTypesTest, UnregisteredExtensionIsNamedAfterItselfAndShowsLeafUntilCached) {
    QDir().mkpath(cacheFolder);
    FileTypes types(cacheFolder);
    EXPECT_EQ(types.FileTypeName("data.XYZ"), "xyz file");
    EXPECT_EQ(types.FileIconKey("data.xyz"), "leaf");
    // A name ending in "." has the empty extension.
    EXPECT_EQ(types.FileTypeName("name."), " file");
    EXPECT_EQ(types.FileIconKey("name."), "leaf");

    // A bitmap counts whatever the letter case of its name.
    cache({"KXYZ.BMP", "k.bmp"});
    types.rescanIconCache();
    EXPECT_EQ(types.FileIconKey("data.XYZ"), "kxyz");
    EXPECT_EQ(types.FileIconKey("name."), "k");
    EXPECT_EQ(types.FileTypeName("data.xyz"), "xyz file");
}

TEST_F(FileTypesTest, MissingCacheFolderShowsLeafForEverything) {
    const FileTypes types(cacheFolder);
    EXPECT_EQ(types.FileIconKey("notes.txt"), "leaf");
    EXPECT_TRUE(types.iconCacheFiles().isEmpty());
    EXPECT_EQ(types.FileTypeName("notes.txt"), "plain text document");
}

TEST_F(FileTypesTest, DescriptionsAreEnglishWhateverTheDesktopLanguage) {
    const QLocale desktop(QLocale::German, QLocale::Germany);
    QLocale::setDefault(desktop);
    const FileTypes types(cacheFolder);
    EXPECT_EQ(QLocale(), desktop);
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(types.FileTypeName("a.pdf"), "PDF document");
}

TEST_F(FileTypesTest, KnownExtensionsAreShortLowerCaseAndDescribed) {
    const FileTypes types(cacheFolder);
    const QStringList known = types.knownExtensions();
    EXPECT_GT(known.size(), 100);
    for (const char* extension : {"txt", "gz", "jpg", "pdf", "c", "h", "mp3"})
        EXPECT_TRUE(known.contains(extension)) << extension;
    for (const QString& extension : known) {
        EXPECT_LE(extension.size(), 4) << extension.toStdString();
        EXPECT_EQ(extension, extension.toLower());
        EXPECT_NE(types.FileTypeName("x." + extension), extension + " file")
            << extension.toStdString();
        EXPECT_FALSE(types.iconNames(extension).isEmpty()) << extension.toStdString();
    }
    // Longer extensions are described but never cached.
    EXPECT_EQ(types.FileTypeName("Main.class"), "Java class");
    EXPECT_FALSE(known.contains("class"));
    EXPECT_TRUE(types.iconNames("xyz").isEmpty());
}
