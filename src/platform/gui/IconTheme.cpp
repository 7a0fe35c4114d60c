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
    // A bare X session names only the fallback theme hicolor, which holds
    // next to no icons.
    const QString named = QIcon::themeName();
    if (named.isEmpty() || named == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
}

} // namespace kestro
