#include "platform/gui/CatalogFileOpener.h"

#include "platform/DriveTable.h"
#include "platform/VolumeLocator.h"
#include "platform/gui/Prompter.h"
#include "platform/gui/Shell.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>

namespace kestro {

CatalogFileOpener::CatalogFileOpener(DriveTable& drives, const VolumeLocator& volumes, Shell& shell,
                                     Prompter& prompter, DriveChooser chooseDrive)
    : drives_(drives), volumes_(volumes), shell_(shell), prompter_(prompter),
      chooseDrive_(std::move(chooseDrive)) {}

std::optional<QString> CatalogFileOpener::driveHolding(const QString& tablename,
                                                       const QString& catalogued) const {
    std::vector<Drive> present = drives_.letters();
    std::stable_partition(present.begin(), present.end(), [&](const Drive& drive) {
        return drive.name().compare(catalogued, Qt::CaseInsensitive) == 0;
    });
    // The window is painted while the drives are asked; the user waits.
    const std::vector<HeldVolume> held = volumes_.locate(present, tablename, [] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    for (const HeldVolume& volume : held)
        if (volume.tablename == tablename)
            return volume.drive.name();
    for (const HeldVolume& volume : held)
        if (volume.drive.name().compare(catalogued, Qt::CaseInsensitive) == 0)
            return std::nullopt;
    return catalogued;
}

void CatalogFileOpener::open(const QString& location, const QString& fileName,
                             const QString& volumeName) {
    const qsizetype underscore = location.indexOf(QLatin1Char('_'));
    if (underscore < 0) {
        prompter_.message(kFileNotFoundMessage);
        return;
    }
    const QString catalogued = location.mid(underscore + 1, 2);
    QString folder = location.mid(underscore + 3);
    if (!folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('\\');
    const bool isProgram = fileName.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive);
    std::optional<QString> drive = driveHolding(location.left(underscore), catalogued);
    for (;;) {
        const QFileInfo file(drive ? drives_.localPath(*drive + folder + fileName) : QString());
        // A folder (a search finds them too) opens in the file manager.
        if (!file.filePath().isEmpty() && file.exists()) {
            const Shell::Outcome outcome = isProgram && file.isFile()
                                               ? shell_.startProgram(file.filePath(), file.path())
                                               : shell_.openDocument(file.filePath());
            if (outcome == Shell::Outcome::NoApplication)
                prompter_.message(kNoApplicationMessage);
            return;
        }
        prompter_.message(kMediaNotReadyMessage);
        const QString chosen = chooseDrive_(drive.value_or(catalogued), volumeName);
        if (chosen.isEmpty())
            return;
        drive = chosen.left(2).toUpper();
    }
}

} // namespace kestro
