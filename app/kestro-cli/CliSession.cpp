#include "CliSession.h"

#include "catalog/DisplayRules.h"
#include "platform/CatalogLocation.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace kestro::cli {

namespace {

// The installed share folder, found from the executable's folder the same
// way in a build tree (build/bin, build/share/kestro) and an installation.
QString shareFolder() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/kestro"));
}

QString resolveProgramFolder(const QString& home) {
    if (home.isEmpty())
        return ProgramFolder::resolve(QCoreApplication::applicationDirPath(), shareFolder());
    const QString folder = QFileInfo(home).absoluteFilePath();
    QDir().mkpath(folder);
    ProgramFolder::seed(folder, shareFolder());
    return folder;
}

} // namespace

CliSession::CliSession(const QString& home, const QString& catalogPath)
    : programFolder_(resolveProgramFolder(home)), settings_(programFolder_),
      options_(settings_.loadOptions()),
      catalog_(catalogPath.isEmpty()           ? settings_.loadEnvironment().lastLoadedFile
               : isHostedLocation(catalogPath) ? catalogPath
                                               : QFileInfo(catalogPath).absoluteFilePath(),
               openModeFor(options_.oNetworkShared)) {}

std::optional<QString> findVolume(const Database& db, const QString& volume) {
    const SqlValue found = db.scalar("SELECT tablename FROM \"index\" WHERE tablename = ?1 "
                                     "UNION ALL SELECT tablename FROM \"index\" WHERE name = ?1",
                                     volume);
    if (isNull(found))
        return std::nullopt;
    return NullToEmpty(found);
}

} // namespace kestro::cli
