#include "settings/CatalogPath.h"

#include "platform/CatalogLocation.h"
#include "platform/ProgramFolder.h"

namespace kestro {

QString ResolveCatalogPath(const QString& stored, const QString& programFolder) {
    const qsizetype nul = stored.indexOf(QChar(0));
    const QString path = (nul < 0 ? stored : stored.left(nul)).trimmed();
    if (path.isEmpty())
        return ProgramFolder::file(programFolder,
                                   QLatin1String(ProgramFolder::kDefaultCatalogName));
    if (path.startsWith(QLatin1Char('/')) || isHostedLocation(path))
        return path;
    return ProgramFolder::file(programFolder, path);
}

} // namespace kestro
