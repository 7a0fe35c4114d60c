#pragma once

#include "catalog/Database.h"

#include <QString>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace kestro {

// Adds many rows to one table, as fast as the engine takes them. On a file
// each row is one run of a prepared INSERT. On a server a round trip per row
// would cost far more than the row: rows are gathered in COPY's text format
// and sent a batch at a time. The rows are numbered here, after the table's
// largest rowid (COPY keeps the rowids it is given), and the table's
// identity is moved past them, so the table must be one that nobody else
// adds rows to while the appender lives: a cataloguing run's new table, or
// one a copy makes.
class RowAppender {
public:
    RowAppender(const Database& db, const QString& table, std::string_view columns);

    // Adds a row: the values of the columns, in order, nothing for Null; the
    // texts must be UTF-8 without NUL. Gives the row's rowid.
    qint64 append(std::initializer_list<std::optional<std::string_view>> values);

    // Sends what is gathered; then every row appended is in the table.
    // Rows gathered and never flushed are not added.
    void flush();

private:
    const Database& db_;
    std::string table_;
    std::optional<Statement> insert_; // on a file
    std::string copy_;                // on a server: the COPY statement
    std::string gathered_;            // and the rows waiting for it
    qint64 lastRowid_ = 0; // on a server: the rowid of the last row appended
};

} // namespace kestro
