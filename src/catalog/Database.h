#pragma once

#include "catalog/Statement.h"

#include <QString>
#include <QStringList>
#include <memory>
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

class HostedCanceller;
class HostedConnection;

// One connection to a catalog, open for the length of one operation: an
// SQLite file, with the catalog's SQL functions registered on it (see
// SqlFunctions.h), or a database on a PostgreSQL server, which holds the same
// functions (see HostedCatalog.h).
class Database {
public:
    // Opens an existing file, or connects to the server a connection URI
    // names (CatalogLocation.h); throws CatalogError when it cannot be
    // opened. No file is ever created here.
    static Database open(const QString& path, OpenMode mode);

    ~Database();
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& path() const { return path_; }
    OpenMode mode() const { return mode_; }
    // True for a catalog on a server.
    bool isHosted() const { return hosted_ != nullptr; }

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
    // The rowid of the row the last INSERT added (on a server: the last
    // value an identity column took in this session).
    qint64 lastInsertRowid() const;

    // On a server: runs a COPY ... FROM STDIN statement with `rows` in its
    // text format (RowAppender sends rows this way).
    void copyIn(std::string_view copyStatement, std::string_view rows) const;

    // On a server: what stops, from another thread, the statement this
    // connection runs. Null for a file.
    std::unique_ptr<HostedCanceller> canceller() const;

    // The tables of the catalog in creation order, the engine's own left out.
    QStringList tableNames() const;
    bool hasTable(const QString& name) const;

    // A write transaction that rolls back unless committed. BEGIN IMMEDIATE
    // takes the write lock at once, so a busy file fails here, not halfway;
    // a server locks row by row as the transaction goes.
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

    // A read transaction: the reads made while it lives see the catalog in
    // one state, and take the file's lock once rather than once per
    // statement, which costs more than reading a row found by its rowid.
    // Writers to a file wait until it ends; on a server they go on, unseen by
    // it (REPEATABLE READ). Not to be opened inside another transaction.
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
    // runs as one transaction: on any failure the file stays as it was. On a
    // server: its maintenance, VACUUM ANALYZE.
    void compact() const;

    // The SQLite connection; null for a hosted catalog.
    sqlite3* handle() const { return db_; }

private:
    Database(sqlite3* db, QString path, OpenMode mode);
    Database(std::unique_ptr<HostedConnection> hosted, QString location, OpenMode mode);
    bool inTransaction() const;

    sqlite3* db_ = nullptr;
    std::unique_ptr<HostedConnection> hosted_;
    QString path_;
    OpenMode mode_ = OpenMode::SharedReadWrite;
};

} // namespace kestro
