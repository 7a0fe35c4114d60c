#include "platform/MountTable.h"

#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using kestro::Mount;
using kestro::ParseMountInfo;
using kestro::ReadMountTable;

namespace {

QStringList mountPoints(const std::vector<Mount>& mounts) {
    QStringList points;
    for (const Mount& m : mounts)
        points << m.mountPoint;
    return points;
}

} // namespace

TEST(MountTable, ReadsFieldsAndUnescapesNames) {
    const auto mounts = ParseMountInfo(
        "26 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
        "80 26 8:17 / /media/alice/MY\\040DISK\\012two\\134x rw,nosuid shared:9 master:2 - vfat "
        "/dev/sdb1 rw,fmask=0022\n"
        "81 26 0:55 / /mnt/share rw - cifs //server/Public\\040Files rw\n");
    ASSERT_EQ(mounts.size(), 3u);
    EXPECT_EQ(mounts[0].mountPoint, "/");
    EXPECT_EQ(mounts[0].fileSystemType, "ext4");
    EXPECT_EQ(mounts[1].mountPoint, "/media/alice/MY DISK\ntwo\\x");
    EXPECT_EQ(mounts[1].source, "/dev/sdb1");
    EXPECT_EQ(mounts[1].deviceMajor, 8u);
    EXPECT_EQ(mounts[1].deviceMinor, 17u);
    EXPECT_TRUE(mounts[1].mountPointIsText);
    EXPECT_EQ(mounts[2].source, "//server/Public Files");
}

TEST(MountTable, LeavesOutPseudoFileSystemsAndSystemPlaces) {
    const auto mounts = ParseMountInfo("21 26 0:20 / /proc rw - proc proc rw\n"
                                       "22 26 0:21 / /sys rw - sysfs sysfs rw\n"
                                       "26 1 0:30 / / rw - overlay overlay rw\n"
                                       "30 22 0:27 / /sys/fs/cgroup rw - tmpfs tmpfs rw\n"
                                       "24 23 0:22 / /dev/shm rw - tmpfs tmpfs rw\n"
                                       "40 26 0:40 / /run/user/1000 rw - tmpfs tmpfs rw\n"
                                       "41 26 0:41 / /tmp rw - tmpfs tmpfs rw\n"
                                       "42 26 8:1 / /boot/efi rw - vfat /dev/sda1 rw\n"
                                       "43 26 254:0 /etc/hosts /etc/hosts rw - ext4 /dev/vda rw\n"
                                       "44 26 0:44 / /mnt/net rw - autofs systemd-1 rw\n"
                                       "45 26 0:45 / /home/alice/b rw - binfmt_misc x rw\n"
                                       "46 26 8:33 / /run/media/alice/CAM rw - exfat /dev/sdc1 rw\n"
                                       "47 26 0:47 / /tmp/ramdisk rw - tmpfs tmpfs rw\n"
                                       "48 26 0:48 / /mnt/ram rw - ramfs ramfs rw\n");
    EXPECT_EQ(mountPoints(mounts),
              QStringList({"/", "/run/media/alice/CAM", "/tmp/ramdisk", "/mnt/ram"}));
}

TEST(MountTable, KeepsOnlyTheUpperOfStackedMountsAndSkipsMalformedLines) {
    const auto mounts = ParseMountInfo("50 26 8:17 / /mnt/usb rw - vfat /dev/sdb1 rw\n"
                                       "garbage\n"
                                       "51 26 x:y / /mnt/bad rw - ext4 /dev/sdz rw\n"
                                       "52 26 8:18 / /mnt/nosep rw ext4 /dev/sdb2 rw\n"
                                       "53 26 8:19 / relative rw - ext4 /dev/sdb3 rw\n"
                                       "\n"
                                       "54 50 11:0 / /mnt/usb ro - iso9660 /dev/sr0 ro\n");
    ASSERT_EQ(mounts.size(), 1u);
    EXPECT_EQ(mounts[0].fileSystemType, "iso9660");
}

TEST(MountTable, FlagsMountPointsThatAreNotUtf8) {
    const auto mounts = ParseMountInfo("60 26 8:17 / /media/caf\xe9 rw - vfat /dev/sdb1 rw\n"
                                       "61 26 8:18 / /media/caf\xc3\xa9 rw - vfat /dev/sdb2 rw\n");
    ASSERT_EQ(mounts.size(), 2u);
    EXPECT_FALSE(mounts[0].mountPointIsText);
    EXPECT_TRUE(mounts[1].mountPointIsText);
    EXPECT_EQ(mounts[1].mountPoint, QString::fromUtf8("/media/caf\xc3\xa9"));
}

TEST(MountTable, ReadsTheKernelsTableAndNothingFromAMissingFile) {
    const auto mounts = ReadMountTable();
    EXPECT_TRUE(std::any_of(mounts.begin(), mounts.end(),
                            [](const Mount& m) { return m.mountPoint == "/"; }));
    QTemporaryDir dir;
    EXPECT_TRUE(ReadMountTable(dir.filePath("missing")).empty());
}
