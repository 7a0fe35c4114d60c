#include "catalog/ConsistencySweep.h"

#include "catalog/CatalogError.h"
#include "catalog/NameIndex.h"
#include "catalog/Schema.h"

namespace kestro {

namespace {

// Drops a table, ignoring a failure (the table may already be gone).
bool dropTable(const Database& db, const QString& name) {
    try {
        db.executeScript("DROP TABLE " + quoteIdentifier(name) + ";");
        return true;
    } catch (const CatalogError&) {
        return false;
    }
}

bool hasOwner(const Database& db, const QString& tablename) {
    return !isNull(db.scalar("SELECT tablename FROM \"index\" WHERE tablename = ?1", tablename));
}

bool hasRootRow(const Database& db, const QString& tablename) {
    try {
        return !isNull(db.scalar("SELECT 1 FROM " + quoteIdentifier(schema::dirsTable(tablename)) +
                                 " LIMIT 1"));
    } catch (const CatalogError&) {
        return false; // no such table
    }
}

} // namespace

SweepReport sweepCatalog(const Database& db) {
    SweepReport report;
    Database::Transaction transaction(db);

    for (const QString& table : db.tableNames()) {
        if (!schema::isVolumeTable(table))
            continue;
        const qsizetype underscore = table.indexOf(QLatin1Char('_'));
        const QString base =
            underscore < 0 ? QString() : table.left(underscore).trimmed().toLower();
        if (!base.isEmpty() && hasOwner(db, base))
            continue;
        if (dropTable(db, table))
            report.droppedTables << table;
    }

    QStringList volumes;
    {
        Statement rows = db.prepare("SELECT tablename FROM \"index\"");
        while (rows.next())
            volumes << rows.text(0);
    }
    for (const QString& tablename : volumes) {
        if (hasRootRow(db, tablename))
            continue;
        dropTable(db, schema::dirsTable(tablename));
        dropTable(db, schema::filesTable(tablename));
        db.execute("DELETE FROM \"index\" WHERE tablename = ?1", tablename);
        report.removedVolumes << tablename;
    }
    try {
        PruneNameIndex(db);
    } catch (const CatalogError&) {
        // a damaged index is rebuilt by the next search or Compact
    }

    transaction.commit();
    return report;
}

} // namespace kestro
