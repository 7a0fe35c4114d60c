#include "catalog/HostedNameIndex.h"

#include "catalog/CatalogError.h"
#include "catalog/Schema.h"
#include "platform/CatalogLocation.h"

#include <QSet>

namespace kestro {

namespace {

// The class of the server's advisory locks that a program indexing a table
// holds (the second key is the table's name hashed); apart from those of the
// volumes a run catalogs.
constexpr int kIndexingLock = schema::kApplicationId + 1;

constexpr QLatin1StringView kIndexSuffix("_names");

std::string indexName(const QString& table) {
    return quoteIdentifier(table + kIndexSuffix);
}

// The tables whose names have an index that can be used, read at once: a
// catalog of hundreds of volumes is not asked table by table.
QSet<QString> indexedTables(const Database& db) {
    QSet<QString> tables;
    Statement names =
        db.prepare("SELECT c.relname FROM pg_index i JOIN pg_class c ON c.oid = i.indexrelid "
                   "WHERE i.indisvalid AND c.relnamespace = current_schema()::regnamespace");
    while (names.next())
        if (const QString name = names.text(0); name.endsWith(kIndexSuffix))
            tables.insert(name.chopped(kIndexSuffix.size()));
    return tables;
}

} // namespace

QString NoHostedNameIndexNote(const QString& location) {
    return QStringLiteral("The server of %1 has no pg_trgm extension: name searches of the "
                          "catalog read every row.")
        .arg(locationForDisplay(location));
}

void EnableHostedNameIndex(const Database& db) {
    if (CanIndexHostedNames(db))
        return;
    try {
        // A savepoint inside the caller's transaction, which a refusal
        // would otherwise abort.
        Database::Transaction adding(db);
        db.executeScript("CREATE EXTENSION IF NOT EXISTS pg_trgm;");
        adding.commit();
    } catch (const CatalogError&) {
        // Searches of the catalog read its tables (NoHostedNameIndexNote).
    }
}

bool CanIndexHostedNames(const Database& db) {
    return !isNull(db.scalar("SELECT 1 FROM pg_extension WHERE extname = 'pg_trgm'"));
}

void IndexHostedNames(const Database& db, const QString& table) {
    db.executeScript("CREATE INDEX IF NOT EXISTS " + indexName(table) + " ON " +
                     quoteIdentifier(table) + " USING gin (lower(name) gin_trgm_ops);");
}

void IndexAllHostedNames(const Database& db) {
    if (!CanIndexHostedNames(db))
        return;
    const QSet<QString> indexed = indexedTables(db);
    for (const QString& table : schema::listedVolumeTables(db)) {
        if (indexed.contains(table))
            continue;
        // Each table in a transaction of its own: a cancel loses one table's
        // work. A table another program is indexing is left to it.
        Database::Transaction indexing(db);
        if (std::get<qint64>(
                db.scalar("SELECT pg_try_advisory_xact_lock(?1, hashtext(?2))::integer",
                          kIndexingLock, table)) == 1)
            IndexHostedNames(db, table);
        indexing.commit();
    }
}

bool HostedNamesIndexed(const Database& db, const QString& table) {
    return indexedTables(db).contains(table);
}

} // namespace kestro
