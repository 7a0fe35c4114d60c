#include "support/CatalogBuilder.h"

#include "cataloguing/CatalogRun.h"
#include "platform/DriveTable.h"
#include "platform/IniFile.h"
#include "platform/LinuxDriveSystem.h"
#include "platform/ProgramFolder.h"
#include "support/ScriptedRunView.h"

#include <stdexcept>

namespace kestro::test {

QString catalogFolder(const QString& programFolder, const QString& catalogPath,
                      const QString& folder, const QString& volumeName, QChar letter,
                      bool clearDescriptions) {
    LinuxDriveSystem system;
    DriveTable drives(IniFile(ProgramFolder::file(programFolder, QStringLiteral("Kestro.ini"))),
                      system);
    if (drives.rootOf(QString(letter) + QLatin1Char(':')) != folder) {
        const QString refused = drives.mapFolder(letter, folder);
        if (!refused.isEmpty())
            throw std::runtime_error("cannot map " + folder.toStdString() + ": " +
                                     refused.toStdString());
    }
    ScriptedRunView view;
    view.volumeName = volumeName;
    CatalogRun run(Catalog(catalogPath, OpenMode::SharedReadWrite), drives, system, programFolder,
                   view);
    const CatalogRunOutcome outcome =
        run.run({QString(letter.toLower()) + QLatin1Char(':'), clearDescriptions, false});
    if (outcome.result != CatalogRunOutcome::Result::Catalogued)
        throw std::runtime_error("cataloguing " + folder.toStdString() +
                                 " failed: " + view.messages.join(" / ").toStdString());
    return outcome.tablename;
}

} // namespace kestro::test
