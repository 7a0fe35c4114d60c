#include "platform/IniFile.h"

#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kestro::IniFile;
using kestro::test::readAll;
using kestro::test::writeAll;

namespace {

struct IniFileTest : ::testing::Test {
    QTemporaryDir dir;
    IniFile ini{dir.filePath("Kestro.ini")};
};

} // namespace

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesNothing) {
    EXPECT_FALSE(ini.value("Options", "oSounds"));
    writeAll(ini.path(), "[Options]\noSounds=1\n");
    EXPECT_FALSE(ini.value("Environment", "oSounds"));
    EXPECT_FALSE(ini.value("Options", "oSmartCaps"));
}

TEST_F(IniFileTest, NamesIgnoreLetterCaseAndValuesAreTrimmedAndCut) {
    writeAll(ini.path(), "; comment\r\n[ environment ]\r\n  LastLoadedFile =  cats/home.mdb  \r\n"
                         "Long=" +
                             QByteArray(200, 'x') + "\r\nBracket=a]b\r\nQuoted=\"a b\"\r\n");
    EXPECT_EQ(ini.value("ENVIRONMENT", "lastloadedfile"), "cats/home.mdb");
    EXPECT_EQ(ini.value("Environment", "Long")->size(), 127);
    EXPECT_EQ(ini.value("Environment", "Quoted"), "a b");
    EXPECT_EQ(ini.value("Environment", "Bracket"), "a]b");
}

TEST_F(IniFileTest, WriteTouchesOnlyItsKeyAndKeepsEveryOtherLine) {
    writeAll(ini.path(), "; my notes\n[Options]\noSounds=1\n\n[Drives]\nE=/media/stick\n");
    ASSERT_TRUE(ini.setValue("options", "OSOUNDS", "0"));
    ASSERT_TRUE(ini.setValue("Options", "oSmartCaps", "1"));
    EXPECT_EQ(readAll(ini.path()),
              "; my notes\n[Options]\noSounds=0\noSmartCaps=1\n\n[Drives]\nE=/media/stick\n");
}

TEST_F(IniFileTest, WriteKeepsLinesThatAreNotUtf8ByteForByte) {
    const QByteArray file = QByteArray("; my notes\n[;") + '\0' +
                            "tion\xb9]\noSounds=0\n\n[Drives]\nE=/media/caf\xe9\n";
    writeAll(ini.path(), file);
    ASSERT_TRUE(ini.setValue("Options", "oSounds", "1"));
    EXPECT_EQ(readAll(ini.path()), file + "\n[Options]\noSounds=1\n");
}

TEST_F(IniFileTest, ValuesInQuotesReadBackAsWritten) {
    ASSERT_TRUE(ini.setValues("A", {{"q", "\"C:\""}, {"spaced", "  x y  "}}));
    EXPECT_EQ(ini.value("A", "q"), "\"C:\"");
    EXPECT_EQ(ini.value("A", "spaced"), "x y");
}

TEST_F(IniFileTest, WriteCreatesFileAndSectionAndKeepsLineEnds) {
    ASSERT_TRUE(ini.setValues("Environment", {{"WindowLeft", "10"}, {"WindowTop", "20"}}));
    EXPECT_EQ(readAll(ini.path()), "[Environment]\nWindowLeft=10\nWindowTop=20\n");

    writeAll(ini.path(), "[A]\r\nx=1\r\n");
    ASSERT_TRUE(ini.setValue("B", "y", "line\nbreak"));
    EXPECT_EQ(readAll(ini.path()), "[A]\r\nx=1\r\n\r\n[B]\r\ny=line break\r\n");
    EXPECT_EQ(ini.entries("b").size(), 1u);

    // Every carriage return before a line feed belongs to the line's end.
    writeAll(ini.path(), "*\n\r\r");
    ASSERT_TRUE(ini.setValue("Options", "oSounds", ""));
    EXPECT_EQ(readAll(ini.path()), "*\n\n[Options]\noSounds=\n");
}

TEST_F(IniFileTest, WriteThatCannotHappenReportsFailure) {
    writeAll(dir.filePath("plainfile"), "not a folder");
    IniFile blocked(dir.filePath("plainfile/Kestro.ini"));
    EXPECT_FALSE(blocked.setValue("A", "x", "2"));
    EXPECT_FALSE(blocked.value("A", "x"));
}

TEST_F(IniFileTest, RemoveKey) {
    writeAll(ini.path(), "[Drives]\nE=/a\nF=/b\n");
    ASSERT_TRUE(ini.removeKey("drives", "e"));
    EXPECT_EQ(readAll(ini.path()), "[Drives]\nF=/b\n");
}
