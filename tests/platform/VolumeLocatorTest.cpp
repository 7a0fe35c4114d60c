#include "platform/VolumeLocator.h"

#include "support/TestDrives.h"

#include <gtest/gtest.h>

using namespace kestro;

namespace {

QStringList found(const std::vector<HeldVolume>& held) {
    QStringList shown;
    for (const HeldVolume& volume : held)
        shown << volume.drive.name() + volume.tablename;
    return shown;
}

} // namespace

TEST(VolumeLocator, FindsEachVolumeByItsMarkerAndWaitsForNoDriveBeyondTheTimeLimit) {
    test::TestDrives drives;
    QTemporaryDir stick, disk, blank, share;
    test::writeAll(stick.filePath("Kestro.cat"), "71330842\r\n");
    test::writeAll(disk.filePath("Kestro.cat"), "ABC.vol\r\n");
    test::writeAll(share.filePath("Kestro.cat"), "333\r\n");
    for (const auto& [letter, folder] :
         {std::pair{'D', &stick}, {'E', &disk}, {'F', &blank}, {'G', &share}})
        drives.map(letter, folder->path());
    drives.system().hold(share.path()); // a share whose server has gone
    const VolumeLocator locator(drives.system(), 500);

    int waits = 0;
    EXPECT_EQ(found(locator.locate(drives.table().letters(), {}, [&] { ++waits; })),
              QStringList({"D:71330842", "E:abc"}));
    EXPECT_GT(waits, 0);
    // Asked again, the share is not asked a second time while it keeps the first question.
    EXPECT_TRUE(found(locator.locate(drives.table().letters(), "71330842")).contains("D:71330842"));
    EXPECT_EQ(drives.system().waiting(), 1);

    drives.system().letGo();
    QStringList again;
    for (int tries = 0; tries < 50 && !again.contains("G:333"); ++tries)
        again = found(locator.locate(drives.table().letters()));
    EXPECT_EQ(again, QStringList({"D:71330842", "E:abc", "G:333"}));
}
