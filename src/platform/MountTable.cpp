#include "platform/MountTable.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <optional>

namespace kestro {

namespace {

// Kernel interfaces and helpers that look like mounts but hold no user files.
// An overlay is kept: a container's root is one, and it is an ordinary folder
// tree to the user.
bool isPseudoFileSystem(const QString& type) {
    static const QStringList pseudo = {
        "proc",       "sysfs",   "cgroup",    "cgroup2",        "devpts",      "devtmpfs",
        "mqueue",     "debugfs", "tracefs",   "securityfs",     "pstore",      "bpf",
        "configfs",   "fusectl", "hugetlbfs", "autofs",         "binfmt_misc", "efivarfs",
        "rpc_pipefs", "nsfs",    "selinuxfs", "fuse.gvfsd-fuse"};
    return pseudo.contains(type);
}

bool isAtOrBelow(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

// Folders the system keeps for itself; nothing mounted there is a user's volume.
bool isSystemPlace(const QString& mountPoint) {
    if (isAtOrBelow(mountPoint, QStringLiteral("/run/media")))
        return false;
    static const QStringList system = {"/proc", "/sys", "/dev", "/run", "/boot",
                                       "/efi",  "/etc", "/usr", "/var", "/snap"};
    return mountPoint == QLatin1String("/tmp") ||
           std::any_of(system.begin(), system.end(),
                       [&](const QString& folder) { return isAtOrBelow(mountPoint, folder); });
}

// A folder as the kernel names it: an absolute path without empty, "." or
// ".." parts. No path handed to the system holds a NUL: a name with one
// would reach some other folder.
bool isFolderPath(const QByteArray& path) {
    if (path == "/")
        return true;
    const QList<QByteArray> parts = path.split('/');
    return parts.size() > 1 && parts.first().isEmpty() &&
           std::all_of(parts.begin() + 1, parts.end(), [](const QByteArray& part) {
               return !part.isEmpty() && part != "." && part != ".." && !part.contains('\0');
           });
}

std::optional<QString> utf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// One line: "id parent major:minor root mountpoint options [optional...] - type source super".
std::optional<Mount> parseLine(const QByteArray& line) {
    const QList<QByteArray> fields = line.split(' ');
    const qsizetype separator = fields.indexOf(QByteArrayLiteral("-"), 6);
    if (fields.size() < 6 || separator < 0 || fields.size() < separator + 3)
        return std::nullopt;
    const QList<QByteArray> device = fields[2].split(':');
    bool majorOk = false;
    bool minorOk = false;
    Mount mount;
    if (device.size() == 2) {
        mount.deviceMajor = device[0].toUInt(&majorOk);
        mount.deviceMinor = device[1].toUInt(&minorOk);
    }
    if (!majorOk || !minorOk)
        return std::nullopt;
    const QByteArray mountPoint = UnescapeOctal(fields[4]);
    if (!isFolderPath(mountPoint))
        return std::nullopt;
    const std::optional<QString> text = utf8(mountPoint);
    mount.mountPointIsText = text.has_value();
    mount.mountPoint = text ? *text : QString::fromUtf8(mountPoint);
    mount.fileSystemType = QString::fromUtf8(UnescapeOctal(fields[separator + 1]));
    mount.source = QString::fromUtf8(UnescapeOctal(fields[separator + 2]));
    return mount;
}

} // namespace

QByteArray UnescapeOctal(const QByteArray& text) {
    const auto isOctal = [&](qsizetype at, char highest) {
        return at < text.size() && text[at] >= '0' && text[at] <= highest;
    };
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && isOctal(i + 1, '3') && isOctal(i + 2, '7') && isOctal(i + 3, '7')) {
            out.append(
                char((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0')));
            i += 3;
        } else {
            out.append(text[i]);
        }
    }
    return out;
}

std::vector<Mount> ParseMountInfo(const QByteArray& mountInfo) {
    std::vector<Mount> mounts;
    for (const QByteArray& line : mountInfo.split('\n')) {
        std::optional<Mount> mount = parseLine(line);
        if (!mount || isPseudoFileSystem(mount->fileSystemType) || isSystemPlace(mount->mountPoint))
            continue;
        // A later mount on the same folder hides the earlier one.
        std::erase_if(mounts, [&](const Mount& m) { return m.mountPoint == mount->mountPoint; });
        mounts.push_back(std::move(*mount));
    }
    return mounts;
}

bool IsNetworkFileSystem(const QString& fileSystemType) {
    static const QStringList network = {
        "nfs",         "nfs4",      "cifs",         "smb3",           "smbfs",       "ncpfs",
        "afs",         "ceph",      "9p",           "coda",           "gpfs",        "fuse.sshfs",
        "fuse.rclone", "fuse.s3fs", "fuse.gcsfuse", "fuse.glusterfs", "fuse.cephfs", "fuse.davfs2"};
    return network.contains(fileSystemType);
}

std::vector<Mount> ReadMountTable(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ParseMountInfo(file.readAll());
}

} // namespace kestro
