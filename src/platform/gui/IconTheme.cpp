#include "platform/gui/IconTheme.h"

#include <QDir>
#include <QIcon>
#include <QStandardPaths>

namespace kestro {

void UseDesktopIconTheme() {
    QStringList searchPaths = QIcon::themeSearchPaths();
    QStringList folders =
        QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                  QStandardPaths::LocateDirectory);
    folders.prepend(QDir::homePath() + QStringLiteral("/.icons"));
    for (const QString& folder : folders)
        if (QDir(folder).exists() && !searchPaths.contains(folder))
            searchPaths.append(folder);
    QIcon::setThemeSearchPaths(searchPaths);
    if (QIcon::themeName().isEmpty())
        QIcon::setThemeName(QStringLiteral("Adwaita"));
}

} // namespace kestro
