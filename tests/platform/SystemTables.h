#pragma once

#include "platform/LinuxDriveSystem.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace kestro::test {

// A temporary folder that stands in for what the kernel and udev publish in
// /proc/self/mountinfo, /sys, /dev and /dev/disk, for a LinuxDriveSystem
// pointed at it.
class SystemTables {
  public:
    SystemTables() {
        for (const char* folder : {"sys/dev/block", "dev", "disk/by-uuid", "disk/by-label"})
            QDir(dir_.path()).mkpath(QString::fromLatin1(folder));
        setMountInfo("");
    }

    LinuxDriveSystem::Places places() const {
        return {dir_.filePath("mountinfo"), dir_.filePath("sys"), dir_.filePath("dev"),
                dir_.filePath("disk")};
    }

    void setMountInfo(const QByteArray& text) { writeAll(dir_.filePath("mountinfo"), text); }

    // Makes device major:minor a block device called /dev/`name`, whose sysfs
    // folder sits at sys/`busPath` with the given "removable" flag.
    QString addBlockDevice(unsigned majorNumber, unsigned minorNumber, const QString& name,
                           const QString& busPath = "devices/virtual/block",
                           const QByteArray& removable = "0") {
        const QString folder = dir_.filePath("sys/" + busPath + "/" + name);
        QDir().mkpath(folder);
        writeAll(folder + "/uevent", "DEVTYPE=disk\nDEVNAME=" + name.toUtf8() + "\n");
        if (!removable.isEmpty())
            writeAll(folder + "/removable", removable + "\n");
        QFile::link(
            folder,
            dir_.filePath(QStringLiteral("sys/dev/block/%1:%2").arg(majorNumber).arg(minorNumber)));
        return dir_.filePath("dev/" + name);
    }

    // A udev link /dev/disk/`kind`/`name` to the device.
    void addDiskLink(const QString& kind, const QString& name, const QString& device) {
        QFile::link("../../dev/" + QFileInfo(device).fileName(),
                    dir_.filePath("disk/" + kind + "/" + name));
    }

    QString path() const { return dir_.path(); }

  private:
    QTemporaryDir dir_;
};

// The device number of the file system holding `path`.
inline std::pair<unsigned, unsigned> deviceNumberOf(const QString& path) {
    struct stat info {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    return {::major(info.st_dev), ::minor(info.st_dev)};
}

// Runs a program the tests need to build file-system images.
inline void run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ASSERT_TRUE(process.waitForFinished(60000)) << program.toStdString() << " did not finish";
    ASSERT_EQ(process.exitCode(), 0) << process.readAll().toStdString();
}

// A 1.44 MB FAT image with the given volume id (eight hex digits) and label.
inline void makeFatImage(const QString& path, const QString& volumeId, const QString& label) {
    run("mkfs.vfat", {"-C", "-i", volumeId, "-n", label, path, "1440"});
}

} // namespace kestro::test
