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

TEST_F(FileTypesTest, OnlyTheTextAfterTheLastDotCountsInLowerCase) {
    cache({"k.bmp", "kgz.bmp", "ktxt.bmp"});
    const FileTypes types(cacheFolder);
    const struct {
        const char* name;
        const char* typeName;
        const char* iconKey;
    } cases[] = {
        {"README", "<unknown file>", "leaf"},
        {"", "<unknown file>", "leaf"},
        {"archive.tar.GZ", "Gzip archive", "kgz"},
        {"Holiday Photo.JPG", "JPEG image", "leaf"},
        {"50% off \"final\".pdf", "PDF document", "leaf"},
        {"café.txt", "plain text document", "ktxt"},
        // The icon key drops surrounding blanks; the registry is asked without.
        {"notes. TXT ", " txt  file", "ktxt"},
        // An unregistered extension is named after itself; "name." has the empty one.
        {"data.XYZ", "xyz file", "leaf"},
        {"name.", " file", "k"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(types.FileTypeName(QString::fromUtf8(c.name)), c.typeName) << c.name;
        EXPECT_EQ(types.FileIconKey(QString::fromUtf8(c.name)), c.iconKey) << c.name;
    }
}

TEST_F(FileTypesTest, IconsComeFromTheCacheAsLastScanned) {
    FileTypes types(cacheFolder); // no cache folder yet
    EXPECT_TRUE(types.iconCacheFiles().isEmpty());
    EXPECT_EQ(types.FileIconKey("notes.txt"), "leaf");
    EXPECT_EQ(types.FileTypeName("notes.txt"), "plain text document");
    cache({"KXYZ.BMP"}); // a bitmap counts whatever the letter case of its name
    EXPECT_EQ(types.FileIconKey("data.xyz"), "leaf");
    types.rescanIconCache();
    EXPECT_EQ(types.FileIconKey("data.XYZ"), "kxyz");
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
