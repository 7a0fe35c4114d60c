#include "catalog/Schema.h"

#include "catalog/ChangeReport.h"
#include "catalog/FolderRuns.h"
#include "catalog/NameIndex.h"

namespace kestro::schema {

bool isVolumeTable(const QString& name) {
    const QString lower = name.toLower();
    if (lower.startsWith(QLatin1String("msys")) || lower.startsWith(QLatin1Char('~')) ||
        lower.startsWith(QLatin1String("sqlite_")) || IsNameIndexTable(name) ||
        IsFolderRunsTable(name) || isChangeReportTable(name))
        return false;
    for (const QString& fixed : fixedTables())
        if (lower == fixed.toLower())
            return false;
    return true;
}

} // namespace kestro::schema
