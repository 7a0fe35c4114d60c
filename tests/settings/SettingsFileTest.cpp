#include "settings/SettingsFile.h"

#include "support/TestSupport.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestro;
using kestro::test::readAll;
using kestro::test::writeAll;

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    // Starts the settings file with `text`.
    void write(const QByteArray& text) { writeAll(settings.path(), text); }

    QTemporaryDir dir;
    SettingsFile settings{dir.path()};
};

} // namespace

TEST_F(SettingsFileTest, NoFileGivesEveryDefault) {
    EXPECT_EQ(settings.path(), dir.path() + "/Kestro.ini");

    EXPECT_EQ(settings.loadOptions(), (Options{.oStartupMode = 0,
                                               .oSmartCaps = 0,
                                               .oStartupDrive = "C:",
                                               .oClearDesc = 0,
                                               .oSearchFiles = 1,
                                               .oSearchDirs = 1,
                                               .oEjectMedia = 1,
                                               .oNetworkShared = 1,
                                               .oDateFormat = 0,
                                               .oSounds = 1,
                                               .oSearchAsYouType = 0}));
    const Environment e = settings.loadEnvironment();
    EXPECT_EQ(e.lastLoadedFile, dir.path() + "/default.mdb");
    EXPECT_FALSE(e.windowLeft || e.windowTop || e.windowWidth || e.windowHeight);
    Environment unset; // no window value, and no width: each column is fitted
    unset.lastLoadedFile = e.lastLoadedFile;
    EXPECT_EQ(e, unset);

    EXPECT_EQ(settings.loadSearchPlacement(), (SearchPlacement{1995, 1380, 6900, 4860}));
    EXPECT_FALSE(QFileInfo::exists(settings.path())); // reading never creates it
}

TEST_F(SettingsFileTest, SavesWriteEveryKeyInOrderAndReadBack) {
    const Options o{.oStartupMode = 1, .oStartupDrive = "E:", .oNetworkShared = 0, .oSounds = 0};
    ASSERT_TRUE(settings.saveOptions(o));

    const Environment e{.lastLoadedFile = "/home/alice/cats/home.mdb",
                        .windowLeft = 120,
                        .windowTop = 240.5,
                        .windowWidth = 9000,
                        .windowHeight = 6000,
                        .fileColumnWidths = {200, 81, 37, 90, 66},
                        .volumeColumnWidths = {151, 75, 75, 75, 75, 75, 50, 49.25, 80},
                        .splitterLeft = 4321};
    ASSERT_TRUE(settings.saveEnvironment(e));
    ASSERT_TRUE(settings.saveSearchPlacement({10, 20, 7000, 5000}));

    EXPECT_EQ(
        readAll(settings.path()),
        "[Options]\noStartupMode=1\noSmartCaps=0\noStartupDrive=E:\noClearDesc=0\n"
        "oSearchFiles=1\noSearchDirs=1\noEjectMedia=1\noNetworkShared=0\noDateFormat=0\n"
        "oSounds=0\noSearchAsYouType=0\n\n"
        "[Environment]\nLastLoadedFile=/home/alice/cats/home.mdb\nWindowLeft=120\n"
        "WindowTop=240.5\nWindowWidth=9000\nWindowHeight=6000\nListviewNameCol=200\n"
        "ListviewSizeCol=81\nListviewTypeCol=37\nListviewDateCol=90\n"
        "ListviewDescriptionCol=66\nSplitterLeft=4321\nListviewGFW=151\nListviewGCW=75\n"
        "ListviewGFRW=75\nListviewGUW=75\nListviewGDAW=75\nListviewGDEW=75\n"
        "ListviewGDIW=50\nListviewGFIW=49.25\nListviewGCRW=80\nsWindowLeft=10\nsWindowTop=20\n"
        "sWindowWidth=7000\nsWindowHeight=5000\n");

    EXPECT_EQ(settings.loadOptions(), o);
    EXPECT_EQ(settings.loadEnvironment(), e);
    EXPECT_EQ(settings.loadSearchPlacement(), (SearchPlacement{10, 20, 7000, 5000}));
}

TEST_F(SettingsFileTest, SavingReplacesKeysInPlaceAndKeepsForeignLines) {
    write("; written by hand\r\n[environment]\r\nlistviewnamecol=50\r\nMyOwnKey=keep me\r\n"
          "WindowLeft=100\r\n\r\n[Drives]\r\nE=/media/alice/STICK\r\n");
    EXPECT_EQ(settings.loadEnvironment().fileColumnWidths[0], 50);
    EXPECT_EQ(settings.loadEnvironment().windowLeft, 100);

    Environment e; // no window values to give: the file keeps its own
    e.fileColumnWidths[0] = 60;
    ASSERT_TRUE(settings.saveEnvironment(e));
    const QByteArray text = readAll(settings.path());
    EXPECT_TRUE(text.startsWith("; written by hand\r\n[environment]\r\nlistviewnamecol=60\r\n"
                                "MyOwnKey=keep me\r\nWindowLeft=100\r\nLastLoadedFile="));
    EXPECT_TRUE(text.endsWith("\r\n\r\n[Drives]\r\nE=/media/alice/STICK\r\n"));
    EXPECT_EQ(text.count("istviewNameCol="), 0); // not added a second time
}

TEST_F(SettingsFileTest, FlagsAndWidthsThatAreNoNumberFallBackToTheirDefault) {
    write("[Options]\noSounds=yes\noClearDesc=1abc\noSearchDirs=99999\noSearchFiles=\n"
          "oEjectMedia= 0 \noNetworkShared=0\noDateFormat=1.0\noStartupDrive=\n"
          "oSmartCaps=70000\n");
    Options expected; // every other key falls back to its default
    expected.oEjectMedia = 0;
    expected.oNetworkShared = 0;
    expected.oDateFormat = 1;
    EXPECT_EQ(settings.loadOptions(), expected);

    write("[Environment]\nListviewNameCol=wide\nListviewSizeCol=80.5\nListviewTypeCol=1e999\n"
          "ListviewDateCol=12px\nListviewGFW=-3\nSplitterLeft=half\n");
    const Environment e = settings.loadEnvironment();
    EXPECT_EQ(e.fileColumnWidths, (std::array<std::optional<double>, 5>{std::nullopt, 80.5}));
    EXPECT_EQ(e.volumeColumnWidths[0], -3);
    EXPECT_FALSE(e.splitterLeft);
}

TEST_F(SettingsFileTest, WindowNumbersAndTwoFlagsReadTheLeadingNumber) {
    // The other flags must be numbers as a whole: each is given the opposite
    // of its default with letters after it, and keeps its default.
    const Options defaults;
    const auto flipped = [](qint16 flag) { return QString(flag ? "0x" : "1x"); };
    const QString otherFlags = "oClearDesc=" + flipped(defaults.oClearDesc) +
                               "\noSearchFiles=" + flipped(defaults.oSearchFiles) +
                               "\noSearchDirs=" + flipped(defaults.oSearchDirs) +
                               "\noEjectMedia=" + flipped(defaults.oEjectMedia) +
                               "\noNetworkShared=" + flipped(defaults.oNetworkShared) +
                               "\noDateFormat=" + flipped(defaults.oDateFormat) +
                               "\noSounds=" + flipped(defaults.oSounds) +
                               "\noSearchAsYouType=" + flipped(defaults.oSearchAsYouType) + "\n";
    write(("[Options]\noStartupMode=1abc\noSmartCaps=2.5x\n" + otherFlags +
           "[Environment]\nWindowLeft=120twips\nWindowTop=abc\nWindowWidth=-5e2x\nWindowHeight=\n"
           "sWindowLeft=+12.5.7\nsWindowTop=1e999\nsWindowWidth=.5e\n")
              .toUtf8());
    const Options o = settings.loadOptions();
    EXPECT_EQ(o.oStartupMode, 1);
    EXPECT_EQ(o.oSmartCaps, 2); // halves to the even neighbour
    Options expected = defaults;
    expected.oStartupMode = 1;
    expected.oSmartCaps = 2;
    EXPECT_EQ(o, expected);

    const Environment e = settings.loadEnvironment();
    EXPECT_EQ(e.windowLeft, 120);
    EXPECT_EQ(e.windowTop, 0);
    EXPECT_EQ(e.windowWidth, -500);
    EXPECT_EQ(e.windowHeight, 0);

    // sWindowTop is beyond any number: the default.
    EXPECT_EQ(settings.loadSearchPlacement(), (SearchPlacement{12.5, 1380, 0.5, 4860}));
}

TEST_F(SettingsFileTest, CatalogPathIsResolvedTrimmedAndNeverCut) {
    write("[Environment]\nLastLoadedFile=cats/home.mdb\n");
    EXPECT_EQ(settings.loadEnvironment().lastLoadedFile, dir.path() + "/cats/home.mdb");

    // A path longer than any fixed buffer reads back whole, not as a
    // shorter path that would name another file.
    Environment e;
    e.lastLoadedFile = "  /" + QString(300, 'x') + "/home.mdb  ";
    ASSERT_TRUE(settings.saveEnvironment(e));
    EXPECT_TRUE(readAll(settings.path())
                    .contains("LastLoadedFile=/" + QByteArray(300, 'x') + "/home.mdb\n"));
    EXPECT_EQ(settings.loadEnvironment().lastLoadedFile, e.lastLoadedFile.trimmed());
}

TEST_F(SettingsFileTest, SaveThatCannotWriteReportsFailure) {
    writeAll(dir.filePath("notafolder"), "x");
    SettingsFile blocked(dir.filePath("notafolder"));
    EXPECT_FALSE(blocked.saveOptions(Options{}));
    EXPECT_FALSE(blocked.saveEnvironment(Environment{}));
    EXPECT_FALSE(blocked.saveSearchPlacement(SearchPlacement{}));
    EXPECT_EQ(blocked.loadOptions(), Options{});
}
