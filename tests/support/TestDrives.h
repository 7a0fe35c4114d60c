#pragma once

#include "platform/DriveTable.h"
#include "platform/IniFile.h"
#include "platform/LinuxDriveSystem.h"
#include "support/HoldingDriveSystem.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

namespace kestro::test {

// A drive table on a machine whose only mounted file system is "/", with its
// letters kept in a settings file of its own: every other drive is a folder
// the test maps to a letter, as a user maps a folder to catalog it. A drive
// can be held to keep its answers waiting.
class TestDrives {
public:
    TestDrives()
        : system_(LinuxDriveSystem::Places{dir_.filePath("mountinfo"), dir_.filePath("sys"),
                                           dir_.filePath("dev"), dir_.filePath("disk")}),
          holding_(system_), table_(IniFile(dir_.filePath("Kestro.ini")), holding_) {
        writeAll(dir_.filePath("mountinfo"), "26 1 254:0 / / rw - ext4 /dev/vda rw\n");
    }

    DriveTable& table() { return table_; }
    HoldingDriveSystem& system() { return holding_; }

    // Makes `letter` stand for `folder`; fails the test run when refused.
    void map(QChar letter, const QString& folder) {
        const QString refusal = table_.mapFolder(letter, folder);
        if (!refusal.isEmpty())
            throw std::runtime_error(refusal.toStdString());
    }

private:
    QTemporaryDir dir_;
    LinuxDriveSystem system_;
    HoldingDriveSystem holding_;
    DriveTable table_;
};

} // namespace kestro::test
