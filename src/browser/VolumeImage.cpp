#include "browser/VolumeImage.h"

#include "platform/DriveSystem.h"

namespace kestro {

QString VolumeImageKey(int volumeType, double size) {
    switch (volumeType) {
    case DriveType::Removable:
        if (size < 3'000'000)
            return QStringLiteral("floppy");
        if (size > 92'000'000 && size <= 102'000'000)
            return QStringLiteral("zipdisk");
        return QStringLiteral("removable");
    case DriveType::Fixed:
        return QStringLiteral("fixed");
    case DriveType::Network:
        return QStringLiteral("network");
    case DriveType::CdRom:
        return QStringLiteral("cd");
    case DriveType::RamDisk:
        return QStringLiteral("ramdisk");
    default:
        return QStringLiteral("removable");
    }
}

} // namespace kestro
