#include "catalog/Database.h"

#include "catalog/CatalogError.h"
#include "catalog/FolderRuns.h"
#include "catalog/HostedConnection.h"
#include "catalog/SqlFunctions.h"
#include "catalog/schema/HostedSchema.h"
#include "platform/CatalogLocation.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace kestro {

namespace {

// Another user's operation on a shared catalog is short; wait for it.
constexpr int kBusyTimeoutMs = 8000;

} // namespace

std::string quoteIdentifier(const QString& name) {
    std::string quoted = "\"";
    for (const char c : name.toStdString()) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    quoted += '"';
    return quoted;
}

Database::Database(sqlite3* db, QString path, OpenMode mode)
    : db_(db), path_(std::move(path)), mode_(mode) {}

Database::Database(std::unique_ptr<HostedConnection> hosted, QString location, OpenMode mode)
    : hosted_(std::move(hosted)), path_(std::move(location)), mode_(mode) {}

Database::~Database() {
    sqlite3_close_v2(db_);
}

Database::Database(Database&& other) noexcept
    : db_(other.db_), hosted_(std::move(other.hosted_)), path_(std::move(other.path_)),
      mode_(other.mode_) {
    other.db_ = nullptr;
}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        sqlite3_close_v2(db_);
        db_ = other.db_;
        hosted_ = std::move(other.hosted_);
        path_ = std::move(other.path_);
        mode_ = other.mode_;
        other.db_ = nullptr;
    }
    return *this;
}

Database Database::open(const QString& path, OpenMode mode) {
    if (isHostedLocation(path))
        return Database(std::make_unique<HostedConnection>(path, mode), path, mode);
    if (!QFileInfo(path).isFile())
        throw CatalogError(QStringLiteral("The catalog file \"%1\" does not exist.").arg(path));

    const int flags =
        (mode == OpenMode::SharedReadWrite ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) |
        SQLITE_OPEN_NOMUTEX;
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle, flags, nullptr);
    Database db(handle, path, mode);
    if (rc != SQLITE_OK)
        throw CatalogError(QStringLiteral("The catalog file \"%1\" cannot be opened: %2")
                               .arg(path, QString::fromUtf8(sqlite3_errmsg(handle))),
                           rc);
    sqlite3_extended_result_codes(handle, 0);
    sqlite3_busy_timeout(handle, kBusyTimeoutMs);
    try {
        // Hold the file against writers for as long as the operation runs.
        if (mode == OpenMode::ExclusiveReadOnly)
            db.executeScript("PRAGMA locking_mode=EXCLUSIVE;");
        db.prepare("SELECT count(*) FROM sqlite_master").next();
    } catch (const CatalogError& e) {
        if (e.sqliteCode() == SQLITE_CORRUPT)
            throw;
        throw CatalogError(QStringLiteral("The file \"%1\" cannot be read as a catalog: %2")
                               .arg(path, QString::fromUtf8(sqlite3_errmsg(handle))),
                           e.sqliteCode());
    }
    registerCatalogFunctions(handle);
    return db;
}

Statement Database::prepare(std::string_view sql) const {
    return hosted_ ? Statement(*hosted_, sql) : Statement(db_, sql);
}

void Database::executeScript(std::string_view sql) const {
    if (hosted_)
        return hosted_->executeScript(sql);
    const std::string text(sql);
    const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw SqliteFailure(db_, rc);
}

qint64 Database::changes() const {
    return hosted_ ? hosted_->changes() : sqlite3_changes64(db_);
}

qint64 Database::lastInsertRowid() const {
    return hosted_ ? std::get<qint64>(scalar("SELECT lastval()")) : sqlite3_last_insert_rowid(db_);
}

void Database::copyIn(std::string_view copyStatement, std::string_view rows) const {
    Q_ASSERT(hosted_);
    hosted_->copyIn(copyStatement, rows);
}

namespace {

// The catalog's tables in creation order: SQLite's by rowid, the server's
// (those of the schema in use) by object identifier.
constexpr const char* kFileTables = "SELECT name FROM sqlite_master WHERE type='table' "
                                    "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid";
constexpr const char* kServerTables = "SELECT relname FROM pg_class WHERE relkind IN ('r', 'p') "
                                      "AND relnamespace = current_schema()::regnamespace "
                                      "ORDER BY oid";

} // namespace

QStringList Database::tableNames() const {
    QStringList names;
    Statement s = prepare(hosted_ ? kServerTables : kFileTables);
    while (s.next())
        names << s.text(0);
    return names;
}

bool Database::hasTable(const QString& name) const {
    Statement s = prepare(hosted_ ? "SELECT 1 FROM pg_class WHERE relkind IN ('r', 'p') AND "
                                    "relnamespace = current_schema()::regnamespace AND "
                                    "lower(relname) = lower(?1)"
                                  : "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1 "
                                    "COLLATE NOCASE");
    s.bind(1, name);
    return s.next();
}

bool Database::inTransaction() const {
    return hosted_ ? hosted_->inTransaction() : sqlite3_get_autocommit(db_) == 0;
}

std::unique_ptr<HostedCanceller> Database::canceller() const {
    return hosted_ ? std::make_unique<HostedCanceller>(hosted_->handle()) : nullptr;
}

void Database::compact() const {
    if (hosted_)
        return hosted_->executeScript("VACUUM ANALYZE;");
    const int rc = sqlite3_exec(db_, "VACUUM;", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw SqliteFailure(db_, rc,
                            QStringLiteral("could not be compacted and was left as it was"));
}

Database::Transaction::Transaction(const Database& db) : db_(db), nested_(db.inTransaction()) {
    db_.executeScript(nested_         ? "SAVEPOINT nested;"
                      : db.isHosted() ? "BEGIN;"
                                      : "BEGIN IMMEDIATE;");
    if (!nested_ && !db.isHosted())
        schemaVersionAtStart_ = std::get<qint64>(db_.scalar("PRAGMA schema_version"));
}

Database::Transaction::~Transaction() {
    if (!open_)
        return;
    try {
        db_.executeScript(nested_ ? "ROLLBACK TO nested; RELEASE nested;" : "ROLLBACK;");
    } catch (const CatalogError&) {
        // Nothing of the transaction was kept: a file rolls back when its
        // connection closes, a server when it loses the connection.
    }
}

void Database::Transaction::commit() {
    if (nested_)
        db_.executeScript("RELEASE nested;");
    else if (db_.isHosted())
        db_.executeScript(schema::countCommitSql(true) + "COMMIT;");
    else {
        KeepFolderRunsCurrent(db_, schemaVersionAtStart_);
        db_.executeScript("COMMIT;");
    }
    open_ = false;
}

Database::ReadTransaction::ReadTransaction(const Database& db) : db_(db) {
    db_.executeScript(db.isHosted() ? "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY;"
                                    : "BEGIN DEFERRED;");
}

Database::ReadTransaction::~ReadTransaction() {
    try {
        db_.executeScript("COMMIT;");
    } catch (const CatalogError&) {
        // A read transaction changed nothing: whatever ends it loses nothing.
    }
}

} // namespace kestro
