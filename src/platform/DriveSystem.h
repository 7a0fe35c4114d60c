#pragma once

#include "platform/MountTable.h"

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace kestro {

// The drive-type codes the catalog stores with every volume.
struct DriveType {
    enum Code : int {
        Unknown = 0,
        NoRootFolder = 1,
        Removable = 2,
        Fixed = 3,
        Network = 4,
        CdRom = 5,
        RamDisk = 6,
    };
};

// Size figures of a volume in bytes; used is capacity less free.
struct DiskSpace {
    double capacity = 0;
    double free = 0;
    double used = 0;
};

// What the program asks of the operating system about drives. The real one is
// LinuxDriveSystem; tests put a scripted one in its place.
class DriveSystem {
  public:
    virtual ~DriveSystem() = default;

    // The mounted file systems a user might catalog, in mount order.
    virtual std::vector<Mount> mounts() const = 0;
    // The file whose poll() tells when file systems are mounted or unmounted
    // (see MountWatcher); empty when there is none to watch.
    virtual QString mountTableFile() const { return {}; }

    // The DriveType code of the volume holding the folder `root`.
    virtual int driveType(const QString& root) const = 0;

    // Capacity and free space for this user; nothing when it cannot be measured.
    virtual std::optional<DiskSpace> diskSpace(const QString& root) const = 0;

    // The serial number of the volume holding `root` (0 when it has none);
    // nothing when the volume cannot be read just now.
    virtual std::optional<qint32> volumeSerial(const QString& root) const = 0;

    // The volume label of the file system mounted on `root`; empty when there
    // is none or `root` is not where a file system is mounted.
    virtual QString volumeLabel(const QString& root) const = 0;

    // Gives `file` the hidden attribute where its file system has one. True
    // when the file exists and is hidden or its file system cannot hide files.
    virtual bool setHidden(const QString& file) = 0;

    // Ejects the medium holding `root` when it is a removable disk or a CD-ROM
    // and the drive can; returns at once and fails silently.
    virtual void eject(const QString& root) = 0;
};

} // namespace kestro
