#include "catalog/ConsistencySweep.h"

#include "catalog/CatalogError.h"
#include "catalog/ChangeReport.h"
#include "catalog/FolderRuns.h"
#include "catalog/NameIndex.h"
#include "catalog/Schema.h"

#include <QSet>

namespace kestro {

namespace {

// Drops a table, ignoring a failure (the table may already be gone).
bool dropTable(const Database& db, const QString& name) {
    try {
        db.executeScript("DROP TABLE " + quoteIdentifier(name) + ";");
        return true;
    } catch (const CatalogError& e) {
        if (e.isDamagedFile())
            throw;
        return false;
    }
}

bool hasRootRow(const Database& db, const QString& tablename) {
    try {
        return !isNull(db.scalar("SELECT 1 FROM " + quoteIdentifier(schema::dirsTable(tablename)) +
                                 " LIMIT 1"));
    } catch (const CatalogError& e) {
        if (e.isDamagedFile())
            throw;
        return false; // no such table
    }
}

// Removes a volume's tables and row together, or leaves all three when the
// row cannot be deleted.
bool removeVolume(const Database& db, const QString& tablename) {
    try {
        Database::Transaction volume(db);
        dropTable(db, schema::dirsTable(tablename));
        dropTable(db, schema::filesTable(tablename));
        db.execute("DELETE FROM \"index\" WHERE tablename = ?1", tablename);
        volume.commit();
        return true;
    } catch (const CatalogError& e) {
        if (e.isDamagedFile())
            throw;
        return false;
    }
}

} // namespace

SweepReport sweepCatalog(const Database& db) {
    SweepReport report;
    Database::Transaction transaction(db);

    QStringList volumes;
    QSet<QString> owners; // a table and its row match whatever their letter case
    {
        Statement rows = db.prepare("SELECT tablename FROM \"index\"");
        while (rows.next()) {
            volumes << rows.text(0);
            owners.insert(rows.text(0).toCaseFolded());
        }
    }

    for (const QString& table : db.tableNames()) {
        if (!schema::isVolumeTable(table))
            continue;
        const qsizetype underscore = table.indexOf(QLatin1Char('_'));
        const QString base = underscore < 0 ? QString() : table.left(underscore).trimmed();
        if (!base.isEmpty() && owners.contains(base.toCaseFolded()))
            continue;
        if (dropTable(db, table))
            report.droppedTables << table;
    }

    for (const QString& tablename : volumes)
        if (!hasRootRow(db, tablename) && removeVolume(db, tablename))
            report.removedVolumes << tablename;
    DeleteOrphanChangeReports(db);
    try {
        PruneNameIndex(db);
        PruneFolderRuns(db);
    } catch (const CatalogError& e) {
        if (e.isDamagedFile())
            throw;
        // else what is left of the index is made again by the next search or Compact
    }

    transaction.commit();
    return report;
}

} // namespace kestro
