#include "platform/gui/CatalogFileOpener.h"

#include "platform/DriveTable.h"
#include "platform/gui/Prompter.h"
#include "platform/gui/Shell.h"

#include <QFileInfo>

namespace kestro {

CatalogFileOpener::CatalogFileOpener(DriveTable& drives, Shell& shell, Prompter& prompter,
                                     DriveChooser chooseDrive)
    : drives_(drives), shell_(shell), prompter_(prompter), chooseDrive_(std::move(chooseDrive)) {}

void CatalogFileOpener::open(const QString& location, const QString& fileName,
                             const QString& volumeName) {
    const qsizetype underscore = location.indexOf(QLatin1Char('_'));
    if (underscore < 0) {
        prompter_.message(kFileNotFoundMessage);
        return;
    }
    QString drive = location.mid(underscore + 1, 2);
    QString folder = location.mid(underscore + 3);
    if (!folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('\\');
    const bool isProgram = fileName.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive);
    for (;;) {
        const QFileInfo file(drives_.localPath(drive + folder + fileName));
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
        const QString chosen = chooseDrive_(drive, volumeName);
        if (chosen.isEmpty())
            return;
        drive = chosen.left(2).toUpper();
    }
}

} // namespace kestro
