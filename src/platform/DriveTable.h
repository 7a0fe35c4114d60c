#pragma once

#include "platform/DriveSystem.h"
#include "platform/IniFile.h"

#include <QChar>
#include <QDateTime>
#include <QString>
#include <functional>
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

// A letter the settings file remembers, and whether what it stands for is
// there now.
struct DriveLetter {
    QChar letter;
    QString folder;
    bool mappedFolder = false; // a folder the user mapped, not a mount point
    bool present = false;
    QDateTime lastSeen; // invalid when not known
};

// A mounted file system that could not be given a letter, and why.
struct UnlistedMount {
    QString mountPoint;
    QString reason;
};

// Gives the folders of a Linux machine the drive letters of the catalog's
// drive model. C: is "/". Every other mounted file system a user might catalog
// gets a letter from D: while it is there (A: and B: go to floppy disk drives
// only), and the user may map any folder to a letter; that is how a folder is
// catalogued. A letter whose folder is not there is not listed.
//
// The settings file, section "Drives", remembers per letter the mount point
// or folder it stood for and when that was last seen there
// ("E=mount 2024-05-01T09:30:00.000Z /media/alice/STICK"; a line of an
// earlier version, "E=/media/alice/STICK", is read as well). A remembered
// letter is a preference, not a reservation: a mount point that comes back
// gets its old letter, and something new takes the first letter nothing
// remembers, else the letter of what has been away longest (a mount point
// not mounted, a mapped folder that is gone), else that of the mapped folder
// seen longest ago; a letter of a mounted file system is never taken. Only
// more than 23 file systems mounted at once run out of letters.
//
// A mapped folder is there when it exists; one on a network share is there
// while the share is mounted, so that listing the drives never waits for a
// server.
//
// In the settings file a backslash, a control character and a space at the
// end of a folder's path are written as a backslash and three octal digits
// ("\040"), as the kernel writes mount points, so that any folder survives
// the trip.
class DriveTable {
public:
    static constexpr const char* kSection = "Drives";

    DriveTable(IniFile settings, DriveSystem& system);

    // The clock "last seen" is taken from (UTC).
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

    // The drives there are now, in letter order, C: first, as far as they are
    // known without asking the drives themselves: type Unknown, labelled with
    // their root folder's name. Letters given to newly seen mounts are written
    // to the settings file.
    std::vector<Drive> letters();
    // `drive` with the type and volume label the drive system gives. A
    // network share whose server has gone can hold this call for minutes, so
    // a window asks it off the interface thread: it touches nothing but the
    // drive system and may be called from any thread.
    Drive describe(Drive drive) const;

    // Every letter the settings file remembers, there or not, in letter
    // order, C: first.
    std::vector<DriveLetter> rememberedLetters();

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
    // folder), in place of anything it remembers that is not there now.
    // Returns an empty text when done, else why it was refused.
    QString mapFolder(QChar letter, const QString& folder);
    // The letter that stands for `folder`: the one that does already or did
    // last, else one chosen as for anything new (see the class comment),
    // mapped to it. A null QChar, with `refusal` saying why, when there is
    // none.
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
    struct Remembered;
    struct Look;

    // What the settings file remembers, and what of it is there now; letters
    // for new mounts are chosen, and "last seen" brought up to date, on the
    // way.
    Look look();
    // Letter -> root of every drive there is now.
    std::map<QChar, QString> assignments();
    // A letter from `candidates` for something new, as the class comment
    // says; a null QChar when every one stands for a mounted file system.
    QChar letterForNew(const QString& candidates, const Look& now) const;
    bool remember(QChar letter, const QString& folder, bool mountPoint, const Look& now);

    IniFile settings_;
    DriveSystem& system_;
    std::function<QDateTime()> clock_;
    std::vector<UnlistedMount> unlisted_;
};

} // namespace kestro
