#include "export/ExportFileName.h"

#include "platform/ProgramFolder.h"

namespace kestro {

namespace {

QString safeFileName(const QString& volumeName) {
    if (volumeName.isEmpty())
        return QStringLiteral("_");
    QString name = volumeName;
    for (QChar& c : name)
        if (c == QLatin1Char('/') || c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char('_');
    // A name beginning with "." would make a hidden file the user never sees.
    if (name.startsWith(QLatin1Char('.')))
        name[0] = QLatin1Char('_');
    return name;
}

} // namespace

QString ExportFilePath(const QString& folder, const QString& volumeName, bool fromSearch,
                       bool forPrint, int copy) {
    QString name = safeFileName(volumeName);
    if (copy > 1)
        name += QStringLiteral(" (%1)").arg(copy);
    if (fromSearch)
        name += QStringLiteral(" (search results)");
    name += forPrint ? QStringLiteral(".txt") : QStringLiteral(".cdf");
    return ProgramFolder::file(folder, name);
}

} // namespace kestro
