#include "catalog/Schema.h"

#include "catalog/ChangeReport.h"
#include "catalog/Database.h"
#include "catalog/FolderRuns.h"
#include "catalog/NameIndex.h"

namespace kestro::schema {

bool isVolumeTable(const QString& name) {
    const QString lower = name.toLower();
    if (lower.startsWith(QLatin1String("msys")) || lower.startsWith(QLatin1Char('~')) ||
        lower.startsWith(QLatin1String("sqlite_")) || lower == QLatin1String(kHostedHeaderTable) ||
        lower == QLatin1String(kHostedCommitsTable) || IsNameIndexTable(name) ||
        IsFolderRunsTable(name) || isChangeReportTable(name))
        return false;
    for (const QString& fixed : fixedTables())
        if (lower == fixed.toLower())
            return false;
    return true;
}

QSet<QString> heldTables(const Database& db) {
    QSet<QString> held;
    for (const QString& name : db.tableNames())
        held.insert(name.toLower());
    return held;
}

QStringList listedVolumeTables(const Database& db) {
    const QSet<QString> held = heldTables(db);
    QStringList tables;
    Statement volumes = db.prepare("SELECT tablename FROM \"index\"");
    while (volumes.next())
        for (const QString& table : {dirsTable(volumes.text(0)), filesTable(volumes.text(0))})
            if (held.contains(table.toLower()))
                tables << table;
    return tables;
}

std::string insertRowSql(const QString& table, std::string_view columns) {
    std::string parameters = "?1";
    int count = 1;
    for (const char c : columns)
        if (c == ',')
            parameters += ", ?" + std::to_string(++count);
    return "INSERT INTO " + quoteIdentifier(table) + " (" + std::string(columns) + ") VALUES (" +
           parameters + ")";
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
