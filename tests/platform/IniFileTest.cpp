#include "platform/IniFile.h"

#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kestro::IniFile;
using kestro::test::readAll;
using kestro::test::writeAll;

TEST(IniFile, MissingFileSectionOrKeyGivesNothing) {
    QTemporaryDir dir;
    IniFile ini(dir.filePath("Kestro.ini"));
    EXPECT_FALSE(ini.value("Options", "oSounds"));
    writeAll(ini.path(), "[Options]\noSounds=1\n");
    EXPECT_FALSE(ini.value("Environment", "oSounds"));
    EXPECT_FALSE(ini.value("Options", "oSmartCaps"));
}

TEST(IniFile, NamesIgnoreLetterCaseAndValuesAreTrimmedAndCut) {
    QTemporaryDir dir;
    IniFile ini(dir.filePath("Kestro.ini"));
    writeAll(ini.path(), "; comment\r\n[ environment ]\r\n  LastLoadedFile =  cats/home.mdb  \r\n"
                         "Long=" +
                             QByteArray(200, 'x') + "\r\nQuoted=\"a b\"\r\n");
    EXPECT_EQ(ini.value("ENVIRONMENT", "lastloadedfile"), "cats/home.mdb");
    EXPECT_EQ(ini.value("Environment", "Long")->size(), 127);
    EXPECT_EQ(ini.value("Environment", "Quoted"), "a b");
}

TEST(IniFile, WriteTouchesOnlyItsKeyAndKeepsEveryOtherLine) {
    QTemporaryDir dir;
    IniFile ini(dir.filePath("Kestro.ini"));
    writeAll(ini.path(), "; my notes\n[Options]\noSounds=1\n\n[Drives]\nE=/media/stick\n");
    ASSERT_TRUE(ini.setValue("options", "OSOUNDS", "0"));
    ASSERT_TRUE(ini.setValue("Options", "oSmartCaps", "1"));
    EXPECT_EQ(readAll(ini.path()),
              "; my notes\n[Options]\noSounds=0\noSmartCaps=1\n\n[Drives]\nE=/media/stick\n");
}

TEST(IniFile, WriteCreatesFileAndSectionAndKeepsLineEnds) {
    QTemporaryDir dir;
    IniFile ini(dir.filePath("Kestro.ini"));
    ASSERT_TRUE(ini.setValues("Environment", {{"WindowLeft", "10"}, {"WindowTop", "20"}}));
    EXPECT_EQ(readAll(ini.path()), "[Environment]\nWindowLeft=10\nWindowTop=20\n");

    writeAll(ini.path(), "[A]\r\nx=1\r\n");
    ASSERT_TRUE(ini.setValue("B", "y", "line\nbreak"));
    EXPECT_EQ(readAll(ini.path()), "[A]\r\nx=1\r\n\r\n[B]\r\ny=line break\r\n");
    EXPECT_EQ(ini.entries("b").size(), 1u);
}

TEST(IniFile, WriteThatCannotHappenReportsFailure) {
    QTemporaryDir dir;
    writeAll(dir.filePath("plainfile"), "not a folder");
    IniFile ini(dir.filePath("plainfile/Kestro.ini"));
    EXPECT_FALSE(ini.setValue("A", "x", "2"));
    EXPECT_FALSE(ini.value("A", "x"));
}

TEST(IniFile, RemoveKey) {
    QTemporaryDir dir;
    IniFile ini(dir.filePath("Kestro.ini"));
    writeAll(ini.path(), "[Drives]\nE=/a\nF=/b\n");
    ASSERT_TRUE(ini.removeKey("drives", "e"));
    EXPECT_EQ(readAll(ini.path()), "[Drives]\nF=/b\n");
}
