#include "catalog/FolderRuns.h"

#include "catalog/Schema.h"
#include "catalog/schema/FolderRunsSchema.h"

#include <algorithm>

namespace kestro {

namespace {

bool hasFolderRuns(const Database& db) {
    return db.hasTable(FolderRunsTables().first()) && db.hasTable(FolderRunsTables().last());
}

// Drops the runs of the tables `which` picks from folder_run_tables.
template <typename... Args>
void dropLists(const Database& db, const std::string& which, const Args&... args) {
    db.execute("DELETE FROM folder_runs WHERE list IN (SELECT list FROM folder_run_tables WHERE " +
                   which + ")",
               args...);
    db.execute("DELETE FROM folder_run_tables WHERE " + which, args...);
}

} // namespace

const QStringList& FolderRunsTables() {
    static const QStringList tables{QStringLiteral("folder_run_tables"),
                                    QStringLiteral("folder_runs")};
    return tables;
}

bool IsFolderRunsTable(const QString& name) {
    return FolderRunsTables().contains(name, Qt::CaseInsensitive);
}

void CreateFolderRuns(const Database& db) {
    db.executeScript(schema::kFolderRunsSchema);
}

qint32 FolderRunHash(std::string_view parent) {
    // FNV-1a: fixed for good, as the hashes are stored.
    quint32 hash = 2166136261u;
    for (const char c : parent)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return qint32(hash);
}

FolderRunsWriter::FolderRunsWriter(const Database& db, QString table)
    : db_(db), table_(std::move(table)) {
    ForgetFolderRuns(db_, table_);
}

void FolderRunsWriter::add(qint64 rowid, std::string_view parent) {
    if (!runs_.empty() && runs_.back().last + 1 == rowid && parent == lastParent_) {
        runs_.back().last = rowid;
        return;
    }
    runs_.push_back({FolderRunHash(parent), rowid, rowid});
    lastParent_ = parent;
}

void FolderRunsWriter::finish() {
    db_.execute("INSERT INTO folder_run_tables (volume_table, last_rowid, schema_version) "
                "SELECT ?1, coalesce(max(rowid), 0), NULL FROM " +
                    quoteIdentifier(table_),
                table_);
    const qint64 list = db_.lastInsertRowid();
    // In key order, which fills the pages.
    std::sort(runs_.begin(), runs_.end(), [](const Run& a, const Run& b) {
        return a.hash != b.hash ? a.hash < b.hash : a.first < b.first;
    });
    Statement insert = db_.prepare("INSERT INTO folder_runs (list, parent_hash, first_rowid, "
                                   "last_rowid) VALUES (?1, ?2, ?3, ?4)");
    for (const Run& run : runs_) {
        insert.bindAll(list, qint64(run.hash), run.first, run.last).run();
        insert.reset();
    }
    runs_.clear();
}

void WriteAllFolderRuns(const Database& db) {
    Database::Transaction transaction(db);
    CreateFolderRuns(db);
    db.executeScript("DELETE FROM folder_runs; DELETE FROM folder_run_tables;");
    for (const QString& table : schema::listedVolumeTables(db)) {
        FolderRunsWriter runs(db, table);
        Statement rows = db.prepare("SELECT rowid, parent FROM " + quoteIdentifier(table) +
                                    " WHERE parent IS NOT NULL ORDER BY rowid");
        while (rows.next())
            runs.add(rows.integer(0), rows.utf8(1));
        runs.finish();
    }
    transaction.commit();
}

void ForgetFolderRuns(const Database& db, const QString& table) {
    if (hasFolderRuns(db))
        dropLists(db, "volume_table = ?1", table);
}

void PruneFolderRuns(const Database& db) {
    if (!hasFolderRuns(db))
        return;
    dropLists(db, "volume_table NOT IN (SELECT name FROM sqlite_master WHERE type = 'table')");
}

void KeepFolderRunsCurrent(const Database& db, qint64 schemaVersionAtStart) {
    if (!hasFolderRuns(db))
        return;
    db.execute("UPDATE folder_run_tables SET schema_version = (SELECT schema_version FROM "
               "pragma_schema_version) WHERE schema_version IS NULL OR schema_version = ?1",
               schemaVersionAtStart);
}

FolderRows::FolderRows(const Database& db, const QString& table) : table_(table) {
    if (!hasFolderRuns(db))
        return;
    const SqlValue schemaVersion = db.scalar("PRAGMA schema_version");
    Statement list = db.prepare("SELECT list, last_rowid FROM folder_run_tables "
                                "WHERE volume_table = ?1 AND schema_version = ?2");
    list.bind(1, table).bind(2, schemaVersion);
    if (list.next())
        runs_ = Runs{list.integer(0), list.integer(1)};
}

std::string FolderRows::condition(int parentParameter) const {
    const std::string parent = "parent = ?" + std::to_string(parentParameter);
    if (!runs_)
        return parent;
    return parent +
           " AND (rowid > :folder_runs_last OR rowid IN (SELECT folder_row.rowid FROM "
           "folder_runs AS run JOIN " +
           quoteIdentifier(table_) +
           " AS folder_row ON folder_row.rowid BETWEEN run.first_rowid AND run.last_rowid "
           "WHERE run.list = :folder_runs_list AND run.parent_hash = :folder_runs_hash))";
}

void FolderRows::bind(Statement& statement, int parentParameter, const QString& parent) const {
    statement.bind(parentParameter, parent);
    if (!runs_)
        return;
    const QByteArray utf8 = parent.toUtf8();
    statement.bind(":folder_runs_last", runs_->lastRowid)
        .bind(":folder_runs_list", runs_->list)
        .bind(":folder_runs_hash",
              qint64(FolderRunHash(std::string_view(utf8.constData(), size_t(utf8.size())))));
}

} // namespace kestro
