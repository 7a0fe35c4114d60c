#include "catalog/ChangeReport.h"

#include "catalog/Schema.h"

namespace kestro {

namespace {

std::string runsTable() {
    return quoteIdentifier(changes::kRunsTable);
}

std::string itemsTable() {
    return quoteIdentifier(changes::kItemsTable);
}

// A catalog made before the reports has neither table.
bool hasReports(const Database& db) {
    return db.hasTable(changes::kRunsTable) && db.hasTable(changes::kItemsTable);
}

} // namespace

bool isChangeReportTable(const QString& name) {
    return name.compare(changes::kRunsTable, Qt::CaseInsensitive) == 0 ||
           name.compare(changes::kItemsTable, Qt::CaseInsensitive) == 0;
}

QString ChangeCountsText(const ChangeRun& run) {
    return QStringLiteral("%1 added, %2 removed, %3 changed")
        .arg(run.added)
        .arg(run.removed)
        .arg(run.changed);
}

void CreateChangeReportTables(const Database& db) {
    // A server takes a lock on the table for CREATE INDEX even when the index
    // is there, and two runs holding it would wait on each other's writes.
    // A hosted catalog has the tables from its start.
    if (db.isHosted() && db.hasTable(changes::kRunsTable) && db.hasTable(changes::kItemsTable))
        return;
    db.executeScript("CREATE TABLE IF NOT EXISTS " + runsTable() +
                     " (tablename TEXT NOT NULL, thedate TEXT, added INTEGER, removed INTEGER, "
                     "changed INTEGER" +
                     schema::rowidColumnSql(db.isHosted()) +
                     ");"
                     "CREATE TABLE IF NOT EXISTS " +
                     itemsTable() +
                     " (tablename TEXT NOT NULL, kind TEXT NOT NULL, folder INTEGER NOT NULL, "
                     "location TEXT, name TEXT, oldsize TEXT, newsize TEXT, olddate TEXT, "
                     "newdate TEXT);"
                     "CREATE INDEX IF NOT EXISTS " +
                     quoteIdentifier(changes::kItemsTable + QStringLiteral("_volume")) + " ON " +
                     itemsTable() + " (tablename);");
}

std::optional<ChangeRun> LastChangeRun(const Database& db, const QString& tablename) {
    if (!hasReports(db))
        return std::nullopt;
    Statement run = db.prepare("SELECT thedate, added, removed, changed FROM " + runsTable() +
                               " WHERE tablename = ?1 ORDER BY rowid DESC LIMIT 1");
    run.bind(1, tablename);
    if (!run.next())
        return std::nullopt;
    return ChangeRun{run.text(0), run.integer(1), run.integer(2), run.integer(3)};
}

QHash<QString, QString> LastChangeDates(const Database& db) {
    QHash<QString, QString> dates;
    if (!hasReports(db))
        return dates;
    // Rows are added in run order: the last one of a volume wins.
    Statement runs =
        db.prepare("SELECT tablename, thedate FROM " + runsTable() + " ORDER BY rowid");
    while (runs.next())
        dates.insert(runs.text(0), runs.text(1));
    return dates;
}

std::vector<ChangeItem> ReadChanges(const Database& db, const QString& tablename) {
    std::vector<ChangeItem> items;
    if (!hasReports(db))
        return items;
    Statement rows = db.prepare("SELECT kind, folder, location, name, oldsize, newsize, olddate, "
                                "newdate FROM " +
                                itemsTable() + " WHERE tablename = ?1 ORDER BY location, name");
    rows.bind(1, tablename);
    while (rows.next())
        items.push_back({rows.text(0).append(QLatin1Char(' ')).at(0), rows.integer(1) != 0,
                         rows.text(2), rows.text(3), rows.text(4), rows.text(5), rows.text(6),
                         rows.text(7)});
    return items;
}

void DeleteChangeReports(const Database& db, const QString& tablename) {
    if (!hasReports(db))
        return;
    db.execute("DELETE FROM " + runsTable() + " WHERE tablename = ?1", tablename);
    db.execute("DELETE FROM " + itemsTable() + " WHERE tablename = ?1", tablename);
}

void DeleteOrphanChangeReports(const Database& db) {
    if (!hasReports(db))
        return;
    for (const std::string& table : {runsTable(), itemsTable()})
        db.execute("DELETE FROM " + table +
                   " WHERE tablename NOT IN (SELECT tablename FROM \"index\")");
}

} // namespace kestro
