#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace kestro {

// What a file system says about itself in its superblock.
struct VolumeTags {
    QString uuid;  // "1234-ABCD" (FAT), "1998-03-05-14-07-22-00" (ISO 9660), ...
    QString label; // the volume label; empty when it has none
};

// Reads the file system on a block device or an image file through libblkid.
// Empty tags when the device holds no file system libblkid knows; nothing
// when the device cannot be opened or read (no medium, no permission).
std::optional<VolumeTags> ProbeVolume(const QString& deviceOrImage);

// The 32-bit serial number a file-system UUID stands for. A FAT-style UUID
// "1234-ABCD" is the hexadecimal number 0x1234ABCD, as the FAT boot sector
// holds it. Any other UUID becomes the 32-bit FNV-1a hash of its text as
// libblkid writes it (UTF-8), so the same medium gives the same number on
// every machine; the rare hash 0 becomes 1, since 0 means "no serial". An
// empty UUID gives 0.
qint32 SerialFromUuid(const QString& uuid);

// SerialFromUuid of what ProbeVolume finds; nothing when it cannot read.
std::optional<qint32> VolumeSerialOf(const QString& deviceOrImage);

} // namespace kestro
