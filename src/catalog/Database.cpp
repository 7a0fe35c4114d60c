#include "catalog/Database.h"

#include "catalog/CatalogError.h"
#include "catalog/FolderRuns.h"
#include "catalog/SqlFunctions.h"

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

Database::~Database() {
    sqlite3_close_v2(db_);
}

Database::Database(Database&& other) noexcept
    : db_(other.db_), path_(std::move(other.path_)), mode_(other.mode_) {
    other.db_ = nullptr;
}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        sqlite3_close_v2(db_);
        db_ = other.db_;
        path_ = std::move(other.path_);
        mode_ = other.mode_;
        other.db_ = nullptr;
    }
    return *this;
}

Database Database::open(const QString& path, OpenMode mode) {
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
    return Statement(db_, sql);
}

void Database::executeScript(std::string_view sql) const {
    const std::string text(sql);
    const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw SqliteFailure(db_, rc);
}

qint64 Database::changes() const {
    return sqlite3_changes64(db_);
}

qint64 Database::lastInsertRowid() const {
    return sqlite3_last_insert_rowid(db_);
}

QStringList Database::tableNames() const {
    QStringList names;
    Statement s = prepare("SELECT name FROM sqlite_master WHERE type='table' "
                          "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid");
    while (s.next())
        names << s.text(0);
    return names;
}

bool Database::hasTable(const QString& name) const {
    Statement s = prepare("SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1 "
                          "COLLATE NOCASE");
    s.bind(1, name);
    return s.next();
}

void Database::compact() const {
    const int rc = sqlite3_exec(db_, "VACUUM;", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw SqliteFailure(db_, rc,
                            QStringLiteral("could not be compacted and was left as it was"));
}

Database::Transaction::Transaction(const Database& db)
    : db_(db), nested_(sqlite3_get_autocommit(db.handle()) == 0) {
    db_.executeScript(nested_ ? "SAVEPOINT nested;" : "BEGIN IMMEDIATE;");
    if (!nested_)
        schemaVersionAtStart_ = std::get<qint64>(db_.scalar("PRAGMA schema_version"));
}

Database::Transaction::~Transaction() {
    if (open_)
        sqlite3_exec(db_.handle(), nested_ ? "ROLLBACK TO nested; RELEASE nested;" : "ROLLBACK;",
                     nullptr, nullptr, nullptr);
}

void Database::Transaction::commit() {
    if (!nested_)
        KeepFolderRunsCurrent(db_, schemaVersionAtStart_);
    db_.executeScript(nested_ ? "RELEASE nested;" : "COMMIT;");
    open_ = false;
}

Database::ReadTransaction::ReadTransaction(const Database& db) : db_(db) {
    db_.executeScript("BEGIN DEFERRED;");
}

Database::ReadTransaction::~ReadTransaction() {
    sqlite3_exec(db_.handle(), "COMMIT;", nullptr, nullptr, nullptr);
}

} // namespace kestro
