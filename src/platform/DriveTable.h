#pragma once

#include "platform/DriveSystem.h"
#include "platform/IniFile.h"

#include <QChar>
#include <QString>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace kestro {

// One drive of the drive list.
struct Drive {
    QChar letter; // upper case: 'C'
    QString root; // the folder the letter stands for
    int type = DriveType::Unknown;
    QString label;             // the volume label, else the root folder's name ("/" for C:)
    bool mappedFolder = false; // a folder the user mapped, not a mounted file system

    // "C:", as catalog paths begin.
    QString name() const;
    // "c: [STICK]", as the drive list shows it.
    QString display() const;
};

// A mounted file system that could not be given a letter, and why.
struct UnlistedMount {
    QString mountPoint;
    QString reason;
};

// Gives the folders of a Linux machine the drive letters of the catalog's
// drive model. C: is "/". Every other mounted file system a user might catalog
// gets the next free letter from D: (A: and B: go to floppy disk drives only)
// and keeps it: the letters are remembered in the settings file, section
// "Drives" ("E=/media/alice/STICK"), and a remembered letter stays reserved
// while its medium is away. The user may also map any folder to a letter;
// that is how a folder is catalogued. A letter whose folder is gone is not
// listed.
//
// In the settings file a backslash, a control character and a space at the
// end of a folder's path are written as a backslash and three octal digits
// ("\040"), as the kernel writes mount points, so that any folder survives
// the trip.
class DriveTable {
public:
    static constexpr const char* kSection = "Drives";

    DriveTable(IniFile settings, DriveSystem& system);

    // The drives there are now, in letter order, C: first. Letters given to
    // newly seen mounts are written to the settings file.
    std::vector<Drive> drives();

    // The same drives as far as they are known without asking the drives
    // themselves: type Unknown, labelled with their root folder's name.
    std::vector<Drive> letters();
    // `drive` with the type and volume label the drive system gives. A
    // network share whose server has gone can hold this call for minutes, so
    // a window asks it off the interface thread: it touches nothing but the
    // drive system and may be called from any thread.
    Drive describe(Drive drive) const;

    // The mounts left without a letter the last time the drives were looked
    // at (by any of the calls below).
    const std::vector<UnlistedMount>& unlisted() const { return unlisted_; }

    // The folder the drive ("d:", "D:", "D:\") stands for today; empty when
    // the letter stands for nothing there is.
    QString rootOf(const QString& drive);

    // The upper-case letter that stands for `root`; a null QChar when none does.
    QChar letterOf(const QString& root);

    // The file a catalog path names today: "D:\GAMES\doom.exe" becomes
    // root of D: + "/GAMES/doom.exe"; empty when the drive is not there.
    QString localPath(const QString& drivePath);

    // Makes `letter` stand for `folder` (an absolute path to an existing
    // folder). Returns an empty text when done, else why it was refused.
    QString mapFolder(QChar letter, const QString& folder);
    // The letter that stands for `folder`: the one that does already, else
    // the first from D: that stands for nothing (not even a medium that is
    // away), mapped to it. A null QChar, with `refusal` saying why, when
    // there is none.
    QChar mapToFreeLetter(const QString& folder, QString& refusal);

    // Forgets what `letter` stood for; a mount still there gets a letter
    // again the next time the drives are listed. False for C: or when the
    // settings file cannot be written.
    bool unmap(QChar letter);

    // The drive system's answers for the folder a drive stands for.
    int driveType(const QString& drive);
    std::optional<DiskSpace> diskSpace(const QString& drive);
    std::optional<qint32> volumeSerial(const QString& drive);
    bool setHidden(const QString& drivePath);
    void eject(const QString& drive);

    DriveSystem& system() const { return system_; }

private:
    // Letter -> root of every drive there is now; assigns and remembers
    // letters for new mounts on the way.
    std::map<QChar, QString> assignments();
    std::map<QChar, QString> remembered() const;

    IniFile settings_;
    DriveSystem& system_;
    std::vector<UnlistedMount> unlisted_;
    std::set<QString> mountPoints_; // of the last look at the drives
};

} // namespace kestro
