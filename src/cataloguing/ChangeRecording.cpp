#include "cataloguing/ChangeRecording.h"

#include "catalog/DisplayRules.h"
#include "catalog/Schema.h"

namespace kestro {

namespace {

// The folder below the root as a report shows it: "\" at the top.
constexpr const char* kLocation =
    "CASE WHEN kestro_below_root(%1.parent) = '' THEN '\\' ELSE kestro_below_root(%1.parent) END";

std::string locationOf(const char* alias) {
    return QString::fromLatin1(kLocation).arg(QLatin1String(alias)).toStdString();
}

} // namespace

ChangeRun RecordChanges(const Database& db, const QString& tablename, const QString& rootName,
                        const std::vector<ReplacedTable>& tables, const QString& date) {
    CreateChangeReportTables(db);
    const std::string items = quoteIdentifier(changes::kItemsTable);
    db.execute("DELETE FROM " + items + " WHERE tablename = ?1", tablename);

    // The old rows all carry the root they were catalogued under (the name
    // of the old root row), which lets each new row find its old one through
    // the current index.
    QString oldRoot = rootName;
    for (const ReplacedTable& table : tables)
        if (table.folders)
            if (const SqlValue root =
                    db.scalar("SELECT name FROM " + quoteIdentifier(table.current) +
                              " WHERE parent IS NULL LIMIT 1");
                !isNull(root))
                oldRoot = NullToEmpty(root);

    // Under the same root, which is usual, a row's parent is its key as it is.
    const bool sameRoot = oldRoot == rootName;
    const std::string oldKeyOfNew = sameRoot ? "n.parent" : "?2 || kestro_below_root(n.parent)";
    const std::string newKeyOfOld = sameRoot ? "o.parent" : "?2 || kestro_below_root(o.parent)";
    // Records the rows `sql` selects; ?2 is the other side's root.
    const auto record = [&](const std::string& sql, const QString& otherRoot) {
        Statement insert = db.prepare(sql);
        insert.bind(1, tablename);
        if (!sameRoot)
            insert.bind(2, otherRoot);
        insert.run();
    };

    for (const ReplacedTable& table : tables) {
        const std::string current = quoteIdentifier(table.current);
        const std::string replacement = quoteIdentifier(table.replacement);
        const std::string folder = table.folders ? "1" : "0";
        db.executeScript(schema::createLookupIndexSql(table.current) + ";");
        record("INSERT INTO " + items +
                   " (tablename, kind, folder, location, name, newsize, newdate) "
                   "SELECT ?1, '+', " +
                   folder + ", " + locationOf("n") + ", n.name, n.size, n.thedate FROM " +
                   replacement + " AS n WHERE n.parent IS NOT NULL AND NOT EXISTS (SELECT 1 FROM " +
                   current + " AS o WHERE o.parent = " + oldKeyOfNew + " AND o.name = n.name)",
               oldRoot);
        db.executeScript(
            schema::dropLookupIndexSql(table.current) + ";" +
            schema::createLookupIndexOnReplacementSql(table.current, table.replacement) + ";");
        const std::string changed =
            table.folders ? "" : " OR n.size IS DISTINCT FROM o.size OR n.thedate IS DISTINCT FROM o.thedate";
        record("INSERT INTO " + items +
                   " (tablename, kind, folder, location, name, oldsize, newsize, olddate, "
                   "newdate) SELECT ?1, CASE WHEN n.rowid IS NULL THEN '-' ELSE '~' END, " +
                   folder + ", " + locationOf("o") +
                   ", o.name, o.size, n.size, o.thedate, n.thedate FROM " + current +
                   " AS o LEFT JOIN " + replacement + " AS n ON n.parent = " + newKeyOfOld +
                   " AND n.name = o.name WHERE o.parent IS NOT NULL AND (n.rowid IS NULL" +
                   changed + ")",
               rootName);
    }

    ChangeRun run{date};
    Statement counts =
        db.prepare("SELECT kind, count(*) FROM " + items + " WHERE tablename = ?1 GROUP BY kind");
    counts.bind(1, tablename);
    while (counts.next()) {
        const QString kind = counts.text(0);
        (kind == QLatin1String("+")   ? run.added
         : kind == QLatin1String("-") ? run.removed
                                      : run.changed) = counts.integer(1);
    }
    const std::string runs = quoteIdentifier(changes::kRunsTable);
    db.execute("INSERT INTO " + runs +
                   " (tablename, thedate, added, removed, changed) VALUES (?1, ?2, ?3, ?4, ?5)",
               tablename, run.date, run.added, run.removed, run.changed);
    db.execute("DELETE FROM " + runs +
                   " WHERE tablename = ?1 AND rowid NOT IN (SELECT rowid FROM " + runs +
                   " WHERE tablename = ?1 ORDER BY rowid DESC LIMIT ?2)",
               tablename, changes::kMaxChangeRuns);
    return run;
}

} // namespace kestro
