#include "platform/MountTable.h"

#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using kestro::Mount;
using kestro::ParseMountInfo;

TEST(MountTable, ReadsFieldsAndUnescapesNames) {
    const auto mounts = ParseMountInfo(
        "80 26 8:17 / /media/alice/MY\\040DISK\\012two\\134x rw,nosuid shared:9 master:2 - vfat "
        "/dev/sdb1 rw,fmask=0022\n"
        "81 26 0:55 / /mnt/share rw - cifs //server/Public\\040Files rw\n"
        "82 26 8:18 / /media/caf\xe9 rw - vfat /dev/sdb2 rw\n");
    ASSERT_EQ(mounts.size(), 3u);
    EXPECT_EQ(mounts[0].mountPoint, "/media/alice/MY DISK\ntwo\\x");
    EXPECT_EQ(mounts[0].fileSystemType, "vfat");
    EXPECT_EQ(mounts[0].source, "/dev/sdb1");
    EXPECT_EQ(mounts[0].deviceMajor, 8u);
    EXPECT_EQ(mounts[0].deviceMinor, 17u);
    EXPECT_TRUE(mounts[0].mountPointIsText);
    EXPECT_EQ(mounts[1].source, "//server/Public Files");
    EXPECT_FALSE(mounts[2].mountPointIsText);
}

TEST(MountTable, KeepsWhatAUserMightCatalog) {
    const auto mounts = ParseMountInfo("21 26 0:20 / /proc rw - proc proc rw\n"
                                       "26 1 0:30 / / rw - overlay overlay rw\n"
                                       "24 23 0:22 / /dev/shm rw - tmpfs tmpfs rw\n"
                                       "40 26 0:40 / /run/user/1000 rw - tmpfs tmpfs rw\n"
                                       "41 26 0:41 / /tmp rw - tmpfs tmpfs rw\n"
                                       "42 26 8:1 / /boot/efi rw - vfat /dev/sda1 rw\n"
                                       "43 26 254:0 /etc/hosts /etc/hosts rw - ext4 /dev/vda rw\n"
                                       "44 26 0:44 / /mnt/net rw - autofs systemd-1 rw\n"
                                       "45 26 8:33 / /run/media/alice/CAM rw - exfat /dev/sdc1 rw\n"
                                       "46 26 0:46 / /tmp/ramdisk rw - tmpfs tmpfs rw\n"
                                       "50 26 8:17 / /mnt/usb rw - vfat /dev/sdb1 rw\n"
                                       "garbage\n"
                                       "51 26 x:y / /mnt/bad rw - ext4 /dev/sdz rw\n"
                                       "52 26 8:18 / /mnt/nosep rw ext4 /dev/sdb2 rw\n"
                                       "54 50 11:0 / /mnt/usb ro - iso9660 /dev/sr0 ro\n");
    QStringList kept;
    for (const Mount& m : mounts)
        kept << m.mountPoint + " " + m.fileSystemType;
    // Of two mounts on one folder only the upper one can be seen.
    EXPECT_EQ(kept, QStringList({"/ overlay", "/run/media/alice/CAM exfat", "/tmp/ramdisk tmpfs",
                                 "/mnt/usb iso9660"}));
}

TEST(MountTable, SkipsMountPointsThatNameNoFolder) {
    // A NUL, raw or escaped, would cut the path short where the system reads
    // it; "." and ".." parts and empty ones would lead elsewhere. The last
    // line, without the file system's options, is read.
    const QByteArray nul(2, '\0');
    const auto mounts = ParseMountInfo("54 50 11:0 / /mnt/usb" + nul +
                                       " ro - iso9660 /dev/sr0 ro\n"
                                       "55 26 8:17 / /mnt/a\\000b rw - vfat /dev/sdb1 rw\n"
                                       "56 26 8:18 / /run/media/../../etc rw - vfat /dev/sdb2 rw\n"
                                       "57 26 8:19 / /mnt//x rw - vfat /dev/sdb3 rw\n"
                                       "58 26 8:20 / /mnt/x/ rw - vfat /dev/sdb4 rw\n"
                                       "59 26 8:21 / /mnt/ok rw - vfat /dev/sdb5\n");
    ASSERT_EQ(mounts.size(), 1u);
    EXPECT_EQ(mounts[0].mountPoint, "/mnt/ok");
}

TEST(MountTable, ReadsTheKernelsTableAndNothingFromAMissingFile) {
    const auto mounts = kestro::ReadMountTable();
    EXPECT_TRUE(std::any_of(mounts.begin(), mounts.end(),
                            [](const Mount& m) { return m.mountPoint == "/"; }));
    QTemporaryDir dir;
    EXPECT_TRUE(kestro::ReadMountTable(dir.filePath("missing")).empty());
}
