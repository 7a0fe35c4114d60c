#pragma once

#include "platform/DriveSystem.h"
#include "platform/VolumeProbe.h"

namespace kestro {

// The drives of the Linux machine the program runs on.
//
// Drive type: no folder -> NoRootFolder; ISO 9660 or UDF, or any file system
// on an optical drive -> CdRom; NFS, SMB/CIFS, sshfs and other network file
// systems -> Network; tmpfs and ramfs -> RamDisk; a block device that sysfs
// calls removable, or that sits on USB -> Removable; anything else -> Fixed.
// The serial number is that of the volume's UUID (see SerialFromUuid), read
// through libblkid, or from udev's /dev/disk/by-uuid links when the device
// itself may not be read by this user.
class LinuxDriveSystem : public DriveSystem {
  public:
    // Where the kernel and udev publish what is asked; tests point these at
    // folders they build.
    struct Places {
        QString mountInfo = QStringLiteral("/proc/self/mountinfo");
        QString sysfs = QStringLiteral("/sys");
        QString devices = QStringLiteral("/dev");
        QString diskLinks = QStringLiteral("/dev/disk");
    };

    LinuxDriveSystem() = default;
    explicit LinuxDriveSystem(Places places);

    std::vector<Mount> mounts() const override;
    QString mountTableFile() const override { return places_.mountInfo; }
    int driveType(const QString& root) const override;
    std::optional<DiskSpace> diskSpace(const QString& root) const override;
    std::optional<qint32> volumeSerial(const QString& root) const override;
    QString volumeLabel(const QString& root) const override;
    bool setHidden(const QString& file) override;
    void eject(const QString& root) override;

  private:
    struct DeviceNumber {
        unsigned majorNumber = 0;
        unsigned minorNumber = 0;
    };

    std::optional<DeviceNumber> deviceNumberOf(const QString& root) const;
    QString sysfsBlockFolder(DeviceNumber device) const;
    // The device file of a block device ("/dev/sdb1"); empty when the device
    // is not a block device (tmpfs, network shares, btrfs subvolumes).
    QString deviceFile(DeviceNumber device) const;
    bool isRemovable(DeviceNumber device) const;
    bool isNetworkFuseMount(DeviceNumber device) const;
    // The tags of the file system on `device`; nothing when it cannot be read.
    std::optional<VolumeTags> tagsOf(const QString& device) const;
    // The name of the udev link in /dev/disk/`kind` that leads to `device`.
    QString diskLinkName(const QString& kind, const QString& device) const;

    Places places_;
};

} // namespace kestro
