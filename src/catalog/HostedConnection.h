#pragma once

#include "catalog/CatalogError.h"

#include <QString>
#include <memory>
#include <string>
#include <string_view>

struct pg_cancel;
struct pg_conn;
struct pg_result;

namespace kestro {

enum class OpenMode;

// One libpq connection to a hosted catalog, behind a Database. In read-only
// mode every transaction the server runs for it is a read-only one.
class HostedConnection {
public:
    // Connects; throws CatalogError with the server's message when the
    // server cannot be reached or refuses the connection.
    HostedConnection(const QString& uri, OpenMode mode);
    ~HostedConnection();
    HostedConnection(const HostedConnection&) = delete;
    HostedConnection& operator=(const HostedConnection&) = delete;

    pg_conn* handle() const { return conn_; }

    // Runs SQL text that may hold several statements and takes no values.
    void executeScript(std::string_view sql);
    // Runs a COPY ... FROM STDIN statement, sending it `rows`.
    void copyIn(std::string_view copyStatement, std::string_view rows);
    // True inside a transaction block (also one that failed).
    bool inTransaction() const;

    // A name for the next statement prepared on this connection.
    std::string nextStatementName() { return "k" + std::to_string(++statements_); }

    // Rows changed by the last command a statement ran, as the server
    // counted them.
    qint64 changes() const { return changes_; }
    void setChanges(qint64 rows) { changes_ = rows; }

    // The error for a failed command: "The hosted catalog "postgresql://..."
    // could not be read or written: <the server's message>", or, when the
    // connection is gone, that it was lost.
    CatalogError failure(const QString& failed = {}) const;
    // Takes `result`, throwing failure() unless it is a success.
    void check(pg_result* result, const QString& failed = {}) const;

private:
    pg_conn* conn_ = nullptr;
    QString shownLocation_;
    qint64 statements_ = 0;
    qint64 changes_ = 0;
};

// Asks the server, from any thread, to stop the statement a connection runs:
// the statement fails, and a transaction of its own rolls back.
class HostedCanceller {
public:
    explicit HostedCanceller(pg_conn* conn);
    ~HostedCanceller();
    HostedCanceller(const HostedCanceller&) = delete;
    HostedCanceller& operator=(const HostedCanceller&) = delete;

    void cancel() const;

private:
    pg_cancel* cancel_;
};

} // namespace kestro
