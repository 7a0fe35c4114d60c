#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace kestro {

// One mounted file system as the kernel lists it.
struct Mount {
    QString mountPoint;     // the folder it is mounted on
    QString fileSystemType; // "ext4", "vfat", "iso9660", "fuse.sshfs"
    QString source;         // "/dev/sdb1", "//server/share", "tmpfs"
    unsigned deviceMajor = 0;
    unsigned deviceMinor = 0;
    // False when the mount point's name is not UTF-8: no path this program
    // handles can reach it, so it cannot be catalogued.
    bool mountPointIsText = true;
};

// The file systems a user might catalog, in mount order, from a mount table
// in the format of /proc/self/mountinfo. Left out: kernel pseudo file systems
// (proc, sysfs, cgroup, ...) and mounts in system places (/proc, /sys, /dev,
// /run except /run/media, /boot, /efi, /etc, /usr, /var, /snap, /tmp itself).
// Where two file systems are stacked on one folder only the upper one is kept,
// since only it can be seen. Malformed lines are skipped, and so is a mount
// point that is not a clean absolute path or holds a NUL.
std::vector<Mount> ParseMountInfo(const QByteArray& mountInfo);

// Turns every backslash followed by three octal digits ("\040") into the byte
// they stand for, as the kernel writes space, tab, line feed and backslash in
// the names of its mount table.
QByteArray UnescapeOctal(const QByteArray& text);

// True for file systems that reach their files over the network (NFS, SMB,
// sshfs, ...): a question about one of their folders waits as long as the
// server does.
bool IsNetworkFileSystem(const QString& fileSystemType);

// ParseMountInfo of the file at `path`; nothing when it cannot be read.
std::vector<Mount> ReadMountTable(const QString& path = QStringLiteral("/proc/self/mountinfo"));

} // namespace kestro
