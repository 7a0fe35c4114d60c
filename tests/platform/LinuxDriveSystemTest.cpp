#include "platform/LinuxDriveSystem.h"

#include "SystemTables.h"
#include "platform/MediaEject.h"
#include "support/ScratchMount.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThreadPool>
#include <gtest/gtest.h>
#include <linux/magic.h>
#include <sys/statfs.h>

using namespace kestro;
using namespace kestro::test;

TEST(VolumeProbe, FatVolumeIdIsTheSignedSerialNumber) {
    QTemporaryDir dir;
    makeFatImage(dir.filePath("stick.img"), "1234ABCD", "STICK");
    EXPECT_EQ(VolumeSerialOf(dir.filePath("stick.img")), 305441741);
    EXPECT_EQ(ProbeVolume(dir.filePath("stick.img"))->label, "STICK");
    makeFatImage(dir.filePath("high.img"), "FFFFFFFB", "HIGH");
    EXPECT_EQ(VolumeSerialOf(dir.filePath("high.img")), -5);
    // No file system: no serial; no device: no answer.
    writeAll(dir.filePath("blank.img"), QByteArray(1 << 20, '\0'));
    EXPECT_EQ(VolumeSerialOf(dir.filePath("blank.img")), 0);
    EXPECT_FALSE(VolumeSerialOf(dir.filePath("missing.img")));
}

TEST(VolumeProbe, IsoSerialIsAStableHashOfItsCreationTime) {
    QTemporaryDir dir;
    QDir().mkdir(dir.filePath("src"));
    writeAll(dir.filePath("src/readme.txt"), "a disc\n");
    run("xorriso", {"-outdev", dir.filePath("now.iso"), "-map", dir.filePath("src"), "/"});
    const auto first = VolumeSerialOf(dir.filePath("now.iso"));
    ASSERT_TRUE(first);
    EXPECT_NE(*first, 0);
    EXPECT_EQ(VolumeSerialOf(dir.filePath("now.iso")), first);
    // Catalogs keep these numbers, so the hash may never change: this is
    // FNV-1a of "2024-05-01-12-34-56-00".
    run("xorriso", {"-volume_date", "uuid", "2024050112345600", "-outdev",
                    dir.filePath("fixed.iso"), "-map", dir.filePath("src"), "/"});
    EXPECT_EQ(VolumeSerialOf(dir.filePath("fixed.iso")), 988559458);
}

TEST(LinuxDriveSystem, TypeOfTheRootFolderAndOfMissingFolders) {
    LinuxDriveSystem system;
    EXPECT_EQ(system.driveType("/"), DriveType::Fixed); // this machine boots from a fixed disk
    QTemporaryDir dir;
    writeAll(dir.filePath("file"), "x");
    EXPECT_EQ(system.driveType(dir.filePath("file")), DriveType::NoRootFolder);
    EXPECT_EQ(system.driveType(dir.filePath("gone")), DriveType::NoRootFolder);
}

TEST(LinuxDriveSystem, RamDiskTypeSpaceAndFullDisk) {
    QTemporaryDir dir;
    ScratchMount ram(dir.path(), "size=4m");
    if (!ram.ok())
        GTEST_SKIP() << ram.failure();
    LinuxDriveSystem system;
    QDir().mkdir(dir.filePath("folder"));
    EXPECT_EQ(system.driveType(dir.filePath("folder")), DriveType::RamDisk);
    EXPECT_EQ(system.volumeSerial(dir.path()), 0);
    EXPECT_EQ(system.diskSpace(dir.path())->free, 4194304.0);

    writeAll(dir.filePath("one-mb"), QByteArray(1 << 20, 'x'));
    auto space = system.diskSpace(dir.path());
    EXPECT_EQ(space->capacity, 4194304.0);
    EXPECT_EQ(space->free, 3145728.0);
    EXPECT_EQ(space->used, 1048576.0);
    QFile filler(dir.filePath("filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    while (filler.write(QByteArray(65536, 'y')) > 0 && filler.flush()) {
    }
    EXPECT_EQ(system.diskSpace(dir.path())->free, 0.0);
    EXPECT_FALSE(system.diskSpace(dir.filePath("gone")));
}

TEST(LinuxDriveSystem, SysfsDecidesRemovableDisks) {
    QTemporaryDir dir;
    struct statfs info {};
    ASSERT_EQ(::statfs(QFile::encodeName(dir.path()).constData(), &info), 0);
    if (info.f_type == TMPFS_MAGIC || info.f_type == NFS_SUPER_MAGIC)
        GTEST_SKIP() << "the temporary folder is not on a local disk, which sysfs would decide";
    const auto [majorNumber, minorNumber] = deviceNumberOf(dir.path());

    SystemTables bare; // nothing says removable
    EXPECT_EQ(LinuxDriveSystem(bare.places()).driveType(dir.path()), DriveType::Fixed);
    SystemTables flagged;
    flagged.addBlockDevice(majorNumber, minorNumber, "sdz", "devices/virtual/block", "1");
    EXPECT_EQ(LinuxDriveSystem(flagged.places()).driveType(dir.path()), DriveType::Removable);
    // A partition's flag is its disk's.
    SystemTables partition;
    partition.addBlockDevice(majorNumber, minorNumber, "sdz1", "devices/pci0/ata1/block/sdz", "");
    writeAll(partition.path() + "/sys/devices/pci0/ata1/block/sdz/removable", "1\n");
    EXPECT_EQ(LinuxDriveSystem(partition.places()).driveType(dir.path()), DriveType::Removable);
    SystemTables usb;
    usb.addBlockDevice(majorNumber, minorNumber, "sdz1", "devices/pci0/usb2/2-1/block/sdz");
    EXPECT_EQ(LinuxDriveSystem(usb.places()).driveType(dir.path()), DriveType::Removable);
}

TEST(LinuxDriveSystem, SerialAndLabelOfTheDeviceHoldingAFolder) {
    QTemporaryDir dir;
    const auto [majorNumber, minorNumber] = deviceNumberOf(dir.path());
    SystemTables tables;
    LinuxDriveSystem system(tables.places());
    const QString stick = tables.addBlockDevice(majorNumber, minorNumber, "sdz1");
    makeFatImage(stick, "1234ABCD", "STICK");
    EXPECT_EQ(system.volumeSerial(dir.path()), 305441741);
    // A label belongs where a file system is mounted, not to folders in it.
    tables.setMountInfo(QStringLiteral("90 1 %1:%2 / %3 rw - vfat /dev/sdz1 rw\n")
                            .arg(majorNumber)
                            .arg(minorNumber)
                            .arg(dir.path())
                            .toUtf8());
    EXPECT_EQ(system.volumeLabel(dir.path()), "STICK");
    QDir().mkdir(dir.filePath("sub"));
    EXPECT_EQ(system.volumeLabel(dir.filePath("sub")), "");

    // A device this user may not read (here: none) is known by udev's links.
    QFile::remove(stick);
    EXPECT_FALSE(system.volumeSerial(dir.path()));
    tables.addDiskLink("by-uuid", "2024-05-01-12-34-56-00", stick);
    tables.addDiskLink("by-label", "MY\\x20CD", stick);
    EXPECT_EQ(system.volumeSerial(dir.path()), 988559458);
    EXPECT_EQ(system.volumeLabel(dir.path()), "MY CD");
}

TEST(LinuxDriveSystem, HidingElsewhereThanOnFatLeavesTheFileAsItIs) {
    QTemporaryDir dir;
    writeAll(dir.filePath("Kestro.cat"), "71330842\r\n");
    LinuxDriveSystem system;
    EXPECT_TRUE(system.setHidden(dir.filePath("Kestro.cat")));
    EXPECT_EQ(readAll(dir.filePath("Kestro.cat")), "71330842\r\n");
    EXPECT_FALSE(system.setHidden(dir.filePath("missing")));
}

TEST(MediaEject, ReturnsAtOnceAndGivesUpQuietly) {
    QElapsedTimer clock;
    clock.start();
    EjectMedium("/dev/kestro-no-such-drive");
    EXPECT_LT(clock.elapsed(), 1000);
    // Without UDisks2 the eject command runs, fails, and the worker ends.
    EXPECT_TRUE(QThreadPool::globalInstance()->waitForDone(40000));
}
