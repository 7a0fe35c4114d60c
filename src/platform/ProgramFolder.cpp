#include "platform/ProgramFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kestro {

namespace {

bool isWritableFolder(const QString& path) {
    QFileInfo info(path);
    return info.isDir() && info.isWritable();
}

// Copies `source` to `target` as a file of the user's own. A copy keeps the
// permissions of its source, and installed files may be read-only (a package
// manager's store, a program folder on a CD): a catalog copied from a
// read-only template would refuse every change.
void copyAsOwnFile(const QString& source, const QString& target) {
    if (QFile::copy(source, target))
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::ReadOwner |
                                          QFileDevice::WriteOwner);
}

// Copies every file below `from` into `to` where `to` lacks it.
void copyMissing(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(source);
        if (QFileInfo::exists(target))
            continue;
        QDir().mkpath(QFileInfo(target).absolutePath());
        copyAsOwnFile(source, target);
    }
}

} // namespace

QString ProgramFolder::file(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString ProgramFolder::perUserFolder() {
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty())
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return dataHome + QStringLiteral("/kestro");
}

QString ProgramFolder::resolve(const QString& executableDir, const QString& shareDir) {
    if (QFileInfo::exists(file(executableDir, QLatin1String(kTemplateName))) &&
        isWritableFolder(executableDir)) {
        seed(executableDir, QString());
        return QDir::cleanPath(executableDir);
    }
    const QString folder = perUserFolder();
    QDir().mkpath(folder);
    seed(folder, shareDir);
    return folder;
}

bool ProgramFolder::seed(const QString& folder, const QString& shareDir) {
    // The settings file marks a folder that has been started from before.
    const bool firstStart = !QFileInfo::exists(file(folder, QLatin1String(kSettingsName)));
    if (!shareDir.isEmpty() && QFileInfo(shareDir).isDir() &&
        QDir(shareDir).canonicalPath() != QDir(folder).canonicalPath())
        copyMissing(shareDir, folder);

    const QString templatePath = file(folder, QLatin1String(kTemplateName));
    const QString defaultCatalog = file(folder, QLatin1String(kDefaultCatalogName));
    if (!QFileInfo::exists(templatePath))
        return false;
    // The default catalog is made once, at the first start: a user who deleted
    // it later is asked for a catalog instead of silently getting an empty one.
    if (firstStart && !QFileInfo::exists(defaultCatalog))
        copyAsOwnFile(templatePath, defaultCatalog);
    return true;
}

} // namespace kestro
