#include "catalog/Schema.h"

#include "catalog/Database.h"
#include "catalog/NameIndex.h"

namespace kestro::schema {

bool isVolumeTable(const QString& name) {
    const QString lower = name.toLower();
    if (lower.startsWith(QLatin1String("msys")) || lower.startsWith(QLatin1Char('~')) ||
        lower.startsWith(QLatin1String("sqlite_")) || IsNameIndexTable(name))
        return false;
    for (const QString& fixed : fixedTables())
        if (lower == fixed.toLower())
            return false;
    return true;
}

std::string createLookupIndexSql(const QString& table) {
    return "CREATE INDEX IF NOT EXISTS " + quoteIdentifier(table + QStringLiteral("_lookup")) +
           " ON " + quoteIdentifier(table) + " (parent, name)";
}

} // namespace kestro::schema
