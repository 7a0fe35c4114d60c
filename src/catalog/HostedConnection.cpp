#include "catalog/HostedConnection.h"

#include "catalog/Database.h"
#include "platform/CatalogLocation.h"

#include <libpq-fe.h>
#include <optional>

namespace kestro {

namespace {

// The first line of what the server or the client library said, without
// its "ERROR:" and the lines that point into the SQL.
QString serverMessage(const PGconn* conn) {
    QString message = QString::fromUtf8(PQerrorMessage(conn)).trimmed().section('\n', 0, 0);
    if (message.startsWith(QLatin1String("ERROR:")))
        message = message.mid(6).trimmed();
    return message;
}

} // namespace

HostedConnection::HostedConnection(const QString& uri, OpenMode mode)
    : shownLocation_(locationForDisplay(uri)) {
    const QByteArray uriBytes = uri.toUtf8();
    // Read-only mode: every transaction, the implicit one of a lone
    // statement too, is a read-only one.
    const char* readOnly =
        mode == OpenMode::ExclusiveReadOnly ? "-c default_transaction_read_only=on" : "";
    const char* keywords[] = {"dbname", "client_encoding", "fallback_application_name", "options",
                              nullptr};
    const char* values[] = {uriBytes.constData(), "UTF8", "kestro", readOnly, nullptr};
    conn_ = PQconnectdbParams(keywords, values, 1);
    if (PQstatus(conn_) != CONNECTION_OK) {
        const QString reason = serverMessage(conn_);
        PQfinish(conn_);
        conn_ = nullptr;
        throw CatalogError(QStringLiteral("The hosted catalog \"%1\" cannot be opened: %2")
                               .arg(shownLocation_, reason));
    }
    // Notices ("table ... does not exist, skipping") are no news to a user.
    PQsetNoticeProcessor(
        conn_, [](void*, const char*) {}, nullptr);
}

HostedConnection::~HostedConnection() {
    PQfinish(conn_);
}

void HostedConnection::executeScript(std::string_view sql) {
    check(PQexec(conn_, std::string(sql).c_str()));
}

void HostedConnection::copyIn(std::string_view copyStatement, std::string_view rows) {
    PGresult* started = PQexec(conn_, std::string(copyStatement).c_str());
    const bool copying = PQresultStatus(started) == PGRES_COPY_IN;
    PQclear(started);
    if (!copying)
        throw failure();
    // The server says whether the rows went in once they all have: a row it
    // refuses ends the copy with an error, sent when the copy ends.
    const bool sent = PQputCopyData(conn_, rows.data(), int(rows.size())) == 1;
    if (PQputCopyEnd(conn_, sent ? nullptr : "the rows could not be sent") != 1)
        throw failure();
    PGresult* result = PQgetResult(conn_);
    const bool added = PQresultStatus(result) == PGRES_COMMAND_OK;
    PQclear(result);
    std::optional<CatalogError> refused;
    if (!added)
        refused.emplace(failure());
    while (PGresult* rest = PQgetResult(conn_)) // the connection is free once this is null
        PQclear(rest);
    if (refused)
        throw *refused;
}

bool HostedConnection::inTransaction() const {
    const PGTransactionStatusType status = PQtransactionStatus(conn_);
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

CatalogError HostedConnection::failure(const QString& failed) const {
    if (PQstatus(conn_) != CONNECTION_OK)
        return CatalogError(
            QStringLiteral("The connection to the hosted catalog \"%1\" was lost: %2")
                .arg(shownLocation_, serverMessage(conn_)));
    const QString what = failed.isEmpty() ? QStringLiteral("could not be read or written") : failed;
    return CatalogError(QStringLiteral("The hosted catalog \"%1\" %2: %3")
                            .arg(shownLocation_, what, serverMessage(conn_)));
}

void HostedConnection::check(PGresult* result, const QString& failed) const {
    const ExecStatusType status = PQresultStatus(result);
    PQclear(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw failure(failed);
}

HostedCanceller::HostedCanceller(pg_conn* conn) : cancel_(PQgetCancel(conn)) {}

HostedCanceller::~HostedCanceller() {
    PQfreeCancel(cancel_);
}

void HostedCanceller::cancel() const {
    char reason[256];
    PQcancel(cancel_, reason, sizeof reason); // a statement already ended needs no stopping
}

} // namespace kestro
