#include "browser/VolumeSummary.h"

#include "browser/VolumeImage.h"

#include <gtest/gtest.h>

using namespace kestro;

TEST(VolumeImage, RemovableDisksAreToldApartByTheirSize) {
    EXPECT_EQ(VolumeImageKey(2, 1'457'664), "floppy");
    EXPECT_EQ(VolumeImageKey(2, 2'999'999), "floppy");
    EXPECT_EQ(VolumeImageKey(2, 3'000'000), "removable");
    EXPECT_EQ(VolumeImageKey(2, 92'000'000), "removable");
    EXPECT_EQ(VolumeImageKey(2, 92'000'001), "zipdisk");
    EXPECT_EQ(VolumeImageKey(2, 100'000'000), "zipdisk");
    EXPECT_EQ(VolumeImageKey(2, 102'000'000), "zipdisk");
    EXPECT_EQ(VolumeImageKey(2, 102'000'001), "removable");
}

TEST(VolumeImage, OtherKindsGoByKindAlone) {
    EXPECT_EQ(VolumeImageKey(3, 1'000'000), "fixed");
    EXPECT_EQ(VolumeImageKey(4, 0), "network");
    EXPECT_EQ(VolumeImageKey(5, 700e6), "cd");
    EXPECT_EQ(VolumeImageKey(6, 1e6), "ramdisk");
    EXPECT_EQ(VolumeImageKey(0, 1e6), "removable");
    EXPECT_EQ(VolumeImageKey(1, 1e6), "removable");
    EXPECT_EQ(VolumeImageKey(7, 1e6), "removable");
}

namespace {

QString field(const char* text) {
    return QString::fromLatin1(text).rightJustified(15);
}

} // namespace

TEST(VolumeSummary, FiguresFollowTheDisplayRules) {
    const VolumeSummary zip{100'000'000, 1024, 11264, "3/5/1998 2:07:22 PM",
                            "backup",    12,   1874,  "12/7/2026 3:04:00 PM"};
    const std::array<QString, 8> texts = VolumeFigureTexts(zip, false);
    EXPECT_EQ(texts[0], field("97,657KB"));
    EXPECT_EQ(texts[1], field("0KB")); // 1,024 bytes free is a full disk
    EXPECT_EQ(texts[2], field("11KB"));
    EXPECT_EQ(texts[3], "3/5/1998 2:07:22 PM");
    EXPECT_EQ(texts[4], "backup");
    EXPECT_EQ(texts[5], field("12"));
    EXPECT_EQ(texts[6], field("1,874"));
    EXPECT_EQ(texts[7], "12/7/2026 3:04:00 PM");
    EXPECT_EQ(VolumeFigureTexts({}, false)[7], "") << "no change report";
    EXPECT_EQ(VolumeFigureTexts(zip, true)[3], "5/3/1998 2:07:22 pm");
    EXPECT_EQ(VolumeFigureTexts({0, 1025, 0, {}, {}, 0, 0, {}}, false)[1], field("2KB"));
}

TEST(VolumeSummary, TheStatusLineTrimsEveryFigure) {
    const VolumeSummary floppy{1'457'664, 0, 1'457'664, "12/25/1998 10:05:00 PM", {}, 3, 1, {}};
    EXPECT_EQ(VolumeStatusText("My Floppy", floppy, false),
              " My Floppy -- Capacity: 1,424KB - 0KB free - 1,424KB used -- Cataloged on "
              "12/25/1998 10:05:00 PM -- 3 dirs, 1 files");
    EXPECT_EQ(VolumeStatusText("100% %1 disk", floppy, true),
              " 100% %1 disk -- Capacity: 1,424KB - 0KB free - 1,424KB used -- Cataloged on "
              "25/12/1998 10:05:00 pm -- 3 dirs, 1 files");
    VolumeSummary reported = floppy;
    reported.changesReported = "1/2/1999 9:00:00 AM";
    EXPECT_EQ(VolumeStatusText("My Floppy", reported, true),
              VolumeStatusText("My Floppy", floppy, true) +
                  " -- Changes reported on 2/1/1999 9:00:00 am");
}
