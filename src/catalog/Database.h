#pragma once

#include "catalog/Statement.h"

#include <QString>
#include <QStringList>
#include <string_view>

struct sqlite3;

namespace kestro {

// How every operation opens the catalog file. Network-shared mode lets
// several users work on one file; read-only mode keeps the file as it is and
// holds it against writers while an operation runs.
enum class OpenMode { SharedReadWrite, ExclusiveReadOnly };

// The mode the option `oNetworkShared` selects.
constexpr OpenMode openModeFor(int networkShared) {
    return networkShared != 0 ? OpenMode::SharedReadWrite : OpenMode::ExclusiveReadOnly;
}

// A table or other identifier as SQL text: in double quotes, inner quotes
// doubled ("71330842_dirs").
std::string quoteIdentifier(const QString& name);

// One connection to an SQLite file, open for the length of one operation.
// The catalog's SQL functions are registered on it (see SqlFunctions.h).
class Database {
public:
    // Opens an existing file; throws CatalogError when it cannot be opened.
    // No file is ever created here.
    static Database open(const QString& path, OpenMode mode);

    ~Database();
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& path() const { return path_; }
    OpenMode mode() const { return mode_; }

    Statement prepare(std::string_view sql) const;

    // Prepares, binds the arguments to parameters 1, 2, ... and runs.
    template <typename... Args> void execute(std::string_view sql, const Args&... args) const {
        prepare(sql).bindAll(args...).run();
    }

    // The first column of the first row, or Null when there is no row.
    template <typename... Args> SqlValue scalar(std::string_view sql, const Args&... args) const {
        Statement s = prepare(sql);
        s.bindAll(args...);
        return s.next() ? s.value(0) : SqlValue{};
    }

    // Runs fixed SQL text that may hold several statements and takes no
    // values: schema scripts and pragmas only.
    void executeScript(std::string_view sql) const;

    // Rows changed by the last INSERT, UPDATE or DELETE.
    qint64 changes() const;
    // The rowid of the row the last INSERT added.
    qint64 lastInsertRowid() const;

    // The tables of the file in creation order, SQLite's own left out.
    QStringList tableNames() const;
    bool hasTable(const QString& name) const;

    // A write transaction that rolls back unless committed. BEGIN IMMEDIATE
    // takes the write lock at once, so a busy file fails here, not halfway.
    // Inside another transaction it is a savepoint of that one: what it did
    // is undone alone, or kept until the outer transaction ends.
    class Transaction {
    public:
        explicit Transaction(const Database& db);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        void commit();

    private:
        const Database& db_;
        bool nested_;
        bool open_ = true;
        qint64 schemaVersionAtStart_ = 0;
    };

    // A read transaction: the reads made while it lives see the file in one
    // state, and take its lock once rather than once per statement, which
    // costs more than reading a row found by its rowid. Writers wait until
    // it ends. Not to be opened inside another transaction.
    class ReadTransaction {
    public:
        explicit ReadTransaction(const Database& db);
        ~ReadTransaction();
        ReadTransaction(const ReadTransaction&) = delete;
        ReadTransaction& operator=(const ReadTransaction&) = delete;

    private:
        const Database& db_;
    };

    // Rebuilds the file in place to give back unused space. SQLite's VACUUM
    // runs as one transaction: on any failure the file stays as it was.
    void compact() const;

    sqlite3* handle() const { return db_; }

private:
    Database(sqlite3* db, QString path, OpenMode mode);

    sqlite3* db_ = nullptr;
    QString path_;
    OpenMode mode_ = OpenMode::SharedReadWrite;
};

} // namespace kestro
