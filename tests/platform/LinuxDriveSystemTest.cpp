#include "platform/LinuxDriveSystem.h"

#include "SystemTables.h"
#include "platform/MediaEject.h"
#include "platform/VolumeProbe.h"
#include "support/ScratchMount.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>
#include <gtest/gtest.h>
#include <linux/magic.h>
#include <sys/statfs.h>

using kestro::DriveType;
using kestro::LinuxDriveSystem;
using kestro::ProbeVolume;
using kestro::VolumeSerialOf;
using kestro::test::deviceNumberOf;
using kestro::test::makeFatImage;
using kestro::test::run;
using kestro::test::ScratchMount;
using kestro::test::SystemTables;
using kestro::test::writeAll;

namespace {

// Sysfs decides only for a folder on a local disk file system; a test folder
// on a RAM disk or a share has its type settled before sysfs is asked.
bool onLocalDisk(const QString& path) {
    struct statfs info {};
    return ::statfs(QFile::encodeName(path).constData(), &info) == 0 &&
           info.f_type != TMPFS_MAGIC && info.f_type != NFS_SUPER_MAGIC &&
           info.f_type != FUSE_SUPER_MAGIC;
}

} // namespace

TEST(VolumeProbe, FatVolumeIdIsTheSerialNumber) {
    QTemporaryDir dir;
    makeFatImage(dir.filePath("stick.img"), "1234ABCD", "STICK");
    EXPECT_EQ(VolumeSerialOf(dir.filePath("stick.img")), 305441741);
    EXPECT_EQ(ProbeVolume(dir.filePath("stick.img"))->label, "STICK");
    // The serial is signed 32-bit, as the catalog has always stored it.
    makeFatImage(dir.filePath("high.img"), "FFFFFFFB", "HIGH");
    EXPECT_EQ(VolumeSerialOf(dir.filePath("high.img")), -5);
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

    // Catalogs keep these numbers, so the hash may never change: FNV-1a of
    // "2024-05-01-12-34-56-00".
    run("xorriso", {"-volume_date", "uuid", "2024050112345600", "-volid", "MYCD", "-outdev",
                    dir.filePath("fixed.iso"), "-map", dir.filePath("src"), "/"});
    EXPECT_EQ(VolumeSerialOf(dir.filePath("fixed.iso")), 988559458);
    EXPECT_EQ(ProbeVolume(dir.filePath("fixed.iso"))->label, "MYCD");
}

TEST(VolumeProbe, NoFileSystemGivesZeroAndNoDeviceGivesNothing) {
    QTemporaryDir dir;
    writeAll(dir.filePath("blank.img"), QByteArray(1 << 20, '\0'));
    EXPECT_EQ(VolumeSerialOf(dir.filePath("blank.img")), 0);
    EXPECT_FALSE(VolumeSerialOf(dir.filePath("missing.img")));
    EXPECT_EQ(kestro::SerialFromUuid(""), 0);
}

TEST(LinuxDriveSystem, TypeOfTheRootFolderAndOfMissingFolders) {
    LinuxDriveSystem system;
    // This machine boots from a fixed disk.
    EXPECT_EQ(system.driveType("/"), DriveType::Fixed);
    QTemporaryDir dir;
    EXPECT_EQ(system.driveType(dir.filePath("gone")), DriveType::NoRootFolder);
    writeAll(dir.filePath("file"), "x");
    EXPECT_EQ(system.driveType(dir.filePath("file")), DriveType::NoRootFolder);
    EXPECT_EQ(system.driveType(""), DriveType::NoRootFolder);
}

TEST(LinuxDriveSystem, RamDiskTypeSpaceAndFullDisk) {
    QTemporaryDir dir;
    ScratchMount ram(dir.path(), "size=4m");
    if (!ram.ok())
        GTEST_SKIP() << ram.failure();
    LinuxDriveSystem system;
    QDir().mkdir(dir.filePath("folder"));
    EXPECT_EQ(system.driveType(dir.path()), DriveType::RamDisk);
    // A folder is of the type of the file system holding it.
    EXPECT_EQ(system.driveType(dir.filePath("folder")), DriveType::RamDisk);
    EXPECT_EQ(system.volumeSerial(dir.path()), 0);

    auto space = system.diskSpace(dir.path());
    ASSERT_TRUE(space);
    EXPECT_EQ(space->capacity, 4194304.0);
    EXPECT_EQ(space->free, 4194304.0);
    writeAll(dir.filePath("one-mb"), QByteArray(1 << 20, 'x'));
    space = system.diskSpace(dir.path());
    EXPECT_EQ(space->free, 3145728.0);
    EXPECT_EQ(space->used, 1048576.0);

    QFile filler(dir.filePath("filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    while (filler.write(QByteArray(65536, 'y')) > 0 && filler.flush()) {
    }
    filler.close();
    space = system.diskSpace(dir.path());
    EXPECT_EQ(space->free, 0.0);
    EXPECT_EQ(space->used, space->capacity);
    EXPECT_FALSE(system.diskSpace(dir.filePath("gone")));
}

TEST(LinuxDriveSystem, SysfsDecidesRemovableDisks) {
    QTemporaryDir dir;
    if (!onLocalDisk(dir.path()))
        GTEST_SKIP() << "the temporary folder is not on a local disk";
    const auto [majorNumber, minorNumber] = deviceNumberOf(dir.path());

    SystemTables fixed;
    fixed.addBlockDevice(majorNumber, minorNumber, "sdz1");
    EXPECT_EQ(LinuxDriveSystem(fixed.places()).driveType(dir.path()), DriveType::Fixed);

    SystemTables flagged;
    flagged.addBlockDevice(majorNumber, minorNumber, "sdz", "devices/virtual/block", "1");
    EXPECT_EQ(LinuxDriveSystem(flagged.places()).driveType(dir.path()), DriveType::Removable);

    // A partition's flag is its disk's; a disk on USB is removable whatever its flag.
    SystemTables partition;
    partition.addBlockDevice(majorNumber, minorNumber, "sdz1", "devices/pci0/ata1/block/sdz", "");
    writeAll(partition.path() + "/sys/devices/pci0/ata1/block/sdz/removable", "1\n");
    EXPECT_EQ(LinuxDriveSystem(partition.places()).driveType(dir.path()), DriveType::Removable);
    SystemTables usb;
    usb.addBlockDevice(majorNumber, minorNumber, "sdz1", "devices/pci0/usb2/2-1/block/sdz");
    EXPECT_EQ(LinuxDriveSystem(usb.places()).driveType(dir.path()), DriveType::Removable);

    // Without sysfs nothing says removable.
    SystemTables bare;
    EXPECT_EQ(LinuxDriveSystem(bare.places()).driveType(dir.path()), DriveType::Fixed);
}

TEST(LinuxDriveSystem, SerialAndLabelOfTheDeviceHoldingAFolder) {
    QTemporaryDir dir;
    const auto [majorNumber, minorNumber] = deviceNumberOf(dir.path());
    SystemTables tables;
    const QString device = tables.addBlockDevice(majorNumber, minorNumber, "sdz1");
    makeFatImage(device, "1234ABCD", "STICK");
    LinuxDriveSystem system(tables.places());
    EXPECT_EQ(system.volumeSerial(dir.path()), 305441741);

    // The label belongs to where the file system is mounted, not to folders in it.
    tables.setMountInfo(QStringLiteral("90 1 %1:%2 / %3 rw - vfat /dev/sdz1 rw\n")
                            .arg(majorNumber)
                            .arg(minorNumber)
                            .arg(dir.path())
                            .toUtf8());
    EXPECT_EQ(system.volumeLabel(dir.path()), "STICK");
    QDir().mkdir(dir.filePath("sub"));
    EXPECT_EQ(system.volumeLabel(dir.filePath("sub")), "");
}

TEST(LinuxDriveSystem, UdevLinksServeWhenTheDeviceCannotBeRead) {
    QTemporaryDir dir;
    const auto [majorNumber, minorNumber] = deviceNumberOf(dir.path());
    SystemTables tables;
    const QString device = tables.addBlockDevice(majorNumber, minorNumber, "sr9");
    LinuxDriveSystem system(tables.places());
    // No medium to read and no link: the serial cannot be known yet.
    EXPECT_FALSE(system.volumeSerial(dir.path()));
    tables.addDiskLink("by-uuid", "1234-ABCD", device);
    tables.addDiskLink("by-label", "MY\\x20CD", device);
    EXPECT_EQ(system.volumeSerial(dir.path()), 305441741);
    tables.setMountInfo(QStringLiteral("90 1 %1:%2 / %3 ro - iso9660 /dev/sr9 ro\n")
                            .arg(majorNumber)
                            .arg(minorNumber)
                            .arg(dir.path())
                            .toUtf8());
    EXPECT_EQ(system.volumeLabel(dir.path()), "MY CD");
}

TEST(LinuxDriveSystem, HidingElsewhereThanOnFatLeavesTheFileAsItIs) {
    QTemporaryDir dir;
    writeAll(dir.filePath("Kestro.cat"), "71330842\r\n");
    LinuxDriveSystem system;
    EXPECT_TRUE(system.setHidden(dir.filePath("Kestro.cat")));
    EXPECT_EQ(kestro::test::readAll(dir.filePath("Kestro.cat")), "71330842\r\n");
    EXPECT_FALSE(system.setHidden(dir.filePath("missing")));
    QFile::link(dir.filePath("Kestro.cat"), dir.filePath("link"));
    EXPECT_FALSE(system.setHidden(dir.filePath("link")));
}

TEST(MediaEject, ReturnsAtOnceAndGivesUpQuietly) {
    QElapsedTimer clock;
    clock.start();
    kestro::EjectMedium("/dev/kestro-no-such-drive");
    EXPECT_LT(clock.elapsed(), 1000);
    // Without UDisks2 the eject command runs, fails, and the worker ends.
    EXPECT_TRUE(QThreadPool::globalInstance()->waitForDone(40000));
}
