#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace kestro {

class DriveTable;
class Prompter;
class Shell;
class VolumeLocator;

inline const QString kFileNotFoundMessage =
    QStringLiteral("Application/document cannot be found...");
inline const QString kMediaNotReadyMessage =
    QStringLiteral("Media not in the device or not ready...");
inline const QString kNoApplicationMessage =
    QStringLiteral("No associated application for this file type...");

// Opens a catalogued file once its medium is back, wherever that is: the
// volume is looked for by its identity among the drives there are now (the
// drive of the catalog path first), so the file is found on whatever drive
// holds the volume today. A volume that cannot be identified anywhere is
// looked for under its catalogued letter, unless that drive holds another
// volume. A file not found makes the user pick another drive until it is
// found or they give up. Used by the contents list and the search results.
class CatalogFileOpener {
public:
    // Asks the user for the drive that holds the volume `volumeName` now,
    // offering `current` ("D:"); returns the chosen drive list item
    // ("e: [STICK]"), or empty when they cancel.
    using DriveChooser = std::function<QString(const QString& current, const QString& volumeName)>;

    CatalogFileOpener(DriveTable& drives, const VolumeLocator& volumes, Shell& shell,
                      Prompter& prompter, DriveChooser chooseDrive);

    // `location` is the key of the folder holding the file
    // ("71330842_D:\GAMES", or "71330842_D:" for a file at the top),
    // `fileName` the file's stored name and `volumeName` the name of its
    // volume, for the question which drive holds it. A folder found by a
    // search opens as a document does, in the desktop's file manager.
    void open(const QString& location, const QString& fileName, const QString& volumeName);

private:
    // The drive to look in first ("E:"): the one that holds the volume
    // `tablename`, else `catalogued`; nothing when `catalogued` holds another.
    std::optional<QString> driveHolding(const QString& tablename, const QString& catalogued) const;

    DriveTable& drives_;
    const VolumeLocator& volumes_;
    Shell& shell_;
    Prompter& prompter_;
    DriveChooser chooseDrive_;
};

} // namespace kestro
