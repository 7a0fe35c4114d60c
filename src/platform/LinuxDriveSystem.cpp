#include "platform/LinuxDriveSystem.h"

#include "platform/MediaEject.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <fcntl.h>
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace kestro {

namespace {

// The major number of SCSI optical drives (/dev/sr0).
constexpr unsigned kOpticalDriveMajor = 11;

bool isNetworkMagic(quint32 magic) {
    static const std::array<quint32, 11> network = {
        NFS_SUPER_MAGIC, SMB_SUPER_MAGIC,  CIFS_SUPER_MAGIC, SMB2_SUPER_MAGIC,
        NCP_SUPER_MAGIC, AFS_SUPER_MAGIC,  AFS_FS_MAGIC,     CEPH_SUPER_MAGIC,
        V9FS_MAGIC,      CODA_SUPER_MAGIC, 0x47504653 /* GPFS */};
    return std::find(network.begin(), network.end(), magic) != network.end();
}

QByteArray readSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(4096);
}

// udev writes unusual characters of link names as "\x20".
QString decodeLinkName(const QString& name) {
    const QByteArray bytes = QFile::encodeName(name);
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        bool hex = false;
        const int value = bytes.mid(i + 2, 2).toInt(&hex, 16);
        if (bytes.mid(i, 2) == "\\x" && hex && i + 3 < bytes.size()) {
            out.append(char(value));
            i += 3;
        } else {
            out.append(bytes[i]);
        }
    }
    return QString::fromUtf8(out);
}

} // namespace

LinuxDriveSystem::LinuxDriveSystem(Places places) : places_(std::move(places)) {}

std::vector<Mount> LinuxDriveSystem::mounts() const {
    return ReadMountTable(places_.mountInfo);
}

std::optional<LinuxDriveSystem::DeviceNumber>
LinuxDriveSystem::deviceNumberOf(const QString& root) const {
    struct stat info {};
    if (root.isEmpty() || ::stat(QFile::encodeName(root).constData(), &info) != 0)
        return std::nullopt;
    return DeviceNumber{::major(info.st_dev), ::minor(info.st_dev)};
}

QString LinuxDriveSystem::sysfsBlockFolder(DeviceNumber device) const {
    return places_.sysfs +
           QStringLiteral("/dev/block/%1:%2").arg(device.majorNumber).arg(device.minorNumber);
}

QString LinuxDriveSystem::deviceFile(DeviceNumber device) const {
    const QByteArray uevent = readSmallFile(sysfsBlockFolder(device) + QStringLiteral("/uevent"));
    for (const QByteArray& line : uevent.split('\n'))
        if (line.startsWith("DEVNAME=") && line.size() > 8)
            return places_.devices + QLatin1Char('/') + QFile::decodeName(line.mid(8));
    return {};
}

bool LinuxDriveSystem::isRemovable(DeviceNumber device) const {
    // sysfs links the device to its place on the buses; a partition has no
    // "removable" of its own, its disk one folder up has.
    const QString folder = QFileInfo(sysfsBlockFolder(device)).canonicalFilePath();
    if (folder.isEmpty())
        return false;
    static const QRegularExpression onUsb(QStringLiteral("/usb\\d+/"));
    if (onUsb.match(folder).hasMatch())
        return true;
    for (const QString& candidate : {folder, QFileInfo(folder).path()}) {
        const QByteArray removable = readSmallFile(candidate + QStringLiteral("/removable"));
        if (!removable.isEmpty())
            return removable.trimmed() == "1";
    }
    return false;
}

bool LinuxDriveSystem::isNetworkFuseMount(DeviceNumber device) const {
    const std::vector<Mount> all = mounts();
    return std::any_of(all.begin(), all.end(), [&](const Mount& m) {
        return m.deviceMajor == device.majorNumber && m.deviceMinor == device.minorNumber &&
               IsNetworkFileSystem(m.fileSystemType);
    });
}

int LinuxDriveSystem::driveType(const QString& root) const {
    const QByteArray path = QFile::encodeName(root);
    struct stat info {};
    struct statfs fileSystem {};
    if (root.isEmpty() || ::stat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        ::statfs(path.constData(), &fileSystem) != 0)
        return DriveType::NoRootFolder;
    const DeviceNumber device{::major(info.st_dev), ::minor(info.st_dev)};
    const auto magic = static_cast<quint32>(fileSystem.f_type);
    if (magic == ISOFS_SUPER_MAGIC || magic == UDF_SUPER_MAGIC ||
        device.majorNumber == kOpticalDriveMajor)
        return DriveType::CdRom;
    if (isNetworkMagic(magic) || (magic == FUSE_SUPER_MAGIC && isNetworkFuseMount(device)))
        return DriveType::Network;
    if (magic == TMPFS_MAGIC || magic == RAMFS_MAGIC)
        return DriveType::RamDisk;
    if (isRemovable(device))
        return DriveType::Removable;
    return DriveType::Fixed;
}

std::optional<DiskSpace> LinuxDriveSystem::diskSpace(const QString& root) const {
    struct statvfs info {};
    if (root.isEmpty() || ::statvfs(QFile::encodeName(root).constData(), &info) != 0)
        return std::nullopt;
    DiskSpace space;
    space.capacity = double(info.f_blocks) * double(info.f_frsize);
    if (space.capacity < 1)
        return std::nullopt;
    space.free = double(info.f_bavail) * double(info.f_frsize);
    space.used = space.capacity - space.free;
    return space;
}

QString LinuxDriveSystem::diskLinkName(const QString& kind, const QString& device) const {
    const QString target = QDir::cleanPath(device);
    const QDir links(places_.diskLinks + QLatin1Char('/') + kind);
    for (const QFileInfo& link :
         links.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        if (link.isSymLink() && QDir::cleanPath(link.symLinkTarget()) == target)
            return decodeLinkName(link.fileName());
    return {};
}

std::optional<VolumeTags> LinuxDriveSystem::tagsOf(const QString& device) const {
    if (std::optional<VolumeTags> probed = ProbeVolume(device))
        return probed;
    // A desktop user may not read the device itself; udev, which did, leaves
    // the same tags as links.
    VolumeTags linked{diskLinkName(QStringLiteral("by-uuid"), device),
                      diskLinkName(QStringLiteral("by-label"), device)};
    if (linked.uuid.isEmpty() && linked.label.isEmpty())
        return std::nullopt;
    return linked;
}

std::optional<qint32> LinuxDriveSystem::volumeSerial(const QString& root) const {
    const std::optional<DeviceNumber> device = deviceNumberOf(root);
    if (!device)
        return std::nullopt;
    const QString file = deviceFile(*device);
    if (file.isEmpty())
        return 0;
    const std::optional<VolumeTags> tags = tagsOf(file);
    if (!tags)
        return std::nullopt;
    return SerialFromUuid(tags->uuid);
}

QString LinuxDriveSystem::volumeLabel(const QString& root) const {
    const QString folder = QDir::cleanPath(root);
    const std::vector<Mount> all = mounts();
    const auto mount = std::find_if(all.begin(), all.end(),
                                    [&](const Mount& m) { return m.mountPoint == folder; });
    if (mount == all.end())
        return {};
    const QString file = deviceFile({mount->deviceMajor, mount->deviceMinor});
    if (file.isEmpty())
        return {};
    const std::optional<VolumeTags> tags = tagsOf(file);
    return tags ? tags->label : QString();
}

bool LinuxDriveSystem::setHidden(const QString& file) {
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    struct statfs fileSystem {};
    bool hidden = ::fstatfs(fd, &fileSystem) == 0;
    // Only FAT keeps a hidden attribute; elsewhere a file cannot be hidden
    // without renaming it, which would lose the marker's name.
    if (hidden && static_cast<quint32>(fileSystem.f_type) == MSDOS_SUPER_MAGIC) {
        __u32 attributes = 0;
        hidden = ::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &attributes) == 0;
        // Hidden alone: neither read-only nor system, as the marker has always been.
        attributes = (attributes & ATTR_DIR) | ATTR_HIDDEN;
        hidden = hidden && ::ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &attributes) == 0;
    }
    ::close(fd);
    return hidden;
}

void LinuxDriveSystem::eject(const QString& root) {
    // Only media leave their drives: ejecting a fixed disk would first try
    // to unmount whatever lives on it.
    const int type = driveType(root);
    if (type != DriveType::Removable && type != DriveType::CdRom)
        return;
    if (const std::optional<DeviceNumber> device = deviceNumberOf(root)) {
        const QString file = deviceFile(*device);
        if (!file.isEmpty())
            EjectMedium(file);
    }
}

} // namespace kestro
