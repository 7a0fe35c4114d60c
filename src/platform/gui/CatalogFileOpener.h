#pragma once

#include <QString>
#include <functional>

namespace kestro {

class DriveTable;
class Prompter;
class Shell;

inline const QString kFileNotFoundMessage =
    QStringLiteral("Application/document cannot be found...");
inline const QString kMediaNotReadyMessage =
    QStringLiteral("Media not in the device or not ready...");
inline const QString kNoApplicationMessage =
    QStringLiteral("No associated application for this file type...");

// Opens a catalogued file once its medium is back: the drive letter of the
// catalog path is looked up in the drive table, so the file is found where
// that drive is mounted (or the folder it stands for) today. A file that is
// not there makes the user pick another drive until it is found or they
// give up. Used by the contents list and the search results.
class CatalogFileOpener {
public:
    // Asks the user for the drive that holds the volume `volumeName` now,
    // offering `current` ("D:"); returns the chosen drive list item
    // ("e: [STICK]"), or empty when they cancel.
    using DriveChooser = std::function<QString(const QString& current, const QString& volumeName)>;

    CatalogFileOpener(DriveTable& drives, Shell& shell, Prompter& prompter,
                      DriveChooser chooseDrive);

    // `location` is the key of the folder holding the file
    // ("71330842_D:\GAMES", or "71330842_D:" for a file at the top),
    // `fileName` the file's stored name and `volumeName` the name of its
    // volume, for the question which drive holds it. A folder found by a
    // search opens as a document does, in the desktop's file manager.
    void open(const QString& location, const QString& fileName, const QString& volumeName);

private:
    DriveTable& drives_;
    Shell& shell_;
    Prompter& prompter_;
    DriveChooser chooseDrive_;
};

} // namespace kestro
