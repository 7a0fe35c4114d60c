#include "catalog/Schema.h"

#include "catalog/ChangeReport.h"
#include "catalog/FolderRuns.h"
#include "catalog/NameIndex.h"

namespace kestro::schema {

bool isVolumeTable(const QString& name) {
    const QString lower = name.toLower();
    if (lower.startsWith(QLatin1String("msys")) || lower.startsWith(QLatin1Char('~')) ||
        lower.startsWith(QLatin1String("sqlite_")) || lower == QLatin1String(kHostedHeaderTable) ||
        lower == QLatin1String(kHostedCommitsTable) ||
        IsNameIndexTable(name) || IsFolderRunsTable(name) || isChangeReportTable(name))
        return false;
    for (const QString& fixed : fixedTables())
        if (lower == fixed.toLower())
            return false;
    return true;
}

std::string createVolumeTableSql(bool hosted, const QString& table, const char* model) {
    return "CREATE TABLE " + quoteIdentifier(table) +
           (hosted ? " (LIKE " + std::string(model) + " INCLUDING ALL)"
                   : " AS SELECT * FROM " + std::string(model));
}

std::string rowidColumnSql(bool hosted) {
    return hosted ? ", rowid bigint GENERATED ALWAYS AS IDENTITY" : "";
}

std::string createLookupIndexSql(const QString& table) {
    return "CREATE INDEX IF NOT EXISTS " + quoteIdentifier(table + QStringLiteral("_lookup")) +
           " ON " + quoteIdentifier(table) + " (parent, name)";
}

} // namespace kestro::schema
