#pragma once

#include "catalog/SqlValue.h"

#include <QString>
#include <memory>
#include <optional>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace kestro {

class HostedConnection;
class HostedStatement;

// One prepared SQL statement with bound parameters, read row by row. Values
// always go in as parameters; nothing is pasted into the SQL text. On a
// catalog file SQLite runs it; on a hosted catalog the server does, with the
// same parameters and the same accessors.
class Statement {
public:
    Statement(sqlite3* db, std::string_view sql);
    Statement(HostedConnection& connection, std::string_view sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters are numbered from 1, as SQLite numbers them.
    Statement& bind(int index, const QString& text);
    Statement& bind(int index, std::string_view utf8); // the bytes must outlive the step
    Statement& bind(int index, const char* utf8) { return bind(index, std::string_view(utf8)); }
    Statement& bind(int index, qint64 number);
    Statement& bind(int index, int number) { return bind(index, qint64(number)); }
    Statement& bind(int index, double number);
    Statement& bind(int index, const SqlValue& value);
    Statement& bindNull(int index);
    // A named parameter (":name"); SQLite numbers it after the numbered ones.
    Statement& bind(const char* name, qint64 number);
    Statement& bindBlob(int index, std::string_view bytes); // the bytes must outlive the step

    // Binds the arguments to parameters 1, 2, ... in order.
    template <typename... Args> Statement& bindAll(const Args&... args) {
        int index = 0;
        (bind(++index, args), ...);
        return *this;
    }

    // For reading a large table: on a server the rows then come one at a
    // time rather than all at once, and the connection runs nothing else
    // until the last row is read or the statement is reset (which reads the
    // rest). A file's rows always come one at a time.
    Statement& readRowByRow();

    // Steps once; true when a row is ready to read.
    bool next();
    // Steps until the statement is done.
    void run();
    // Makes the statement ready to run again; bindings are kept.
    void reset();

    // The current row. Columns are found by name without regard to letter
    // case, as the catalog's column names are.
    int columnCount() const;
    int column(std::string_view name) const;
    bool isNull(int col) const;
    QString text(int col) const;
    std::string_view utf8(int col) const;
    std::string_view blob(int col) const;
    qint64 integer(int col) const;
    double real(int col) const;
    SqlValue value(int col) const;

    bool isNull(std::string_view name) const { return isNull(column(name)); }
    QString text(std::string_view name) const { return text(column(name)); }
    qint64 integer(std::string_view name) const { return integer(column(name)); }
    double real(std::string_view name) const { return real(column(name)); }
    SqlValue value(std::string_view name) const { return value(column(name)); }
    // The text of a column, or nothing when it is Null.
    std::optional<QString> optionalText(std::string_view name) const;

private:
    [[noreturn]] void fail(int code) const;

    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    std::unique_ptr<HostedStatement> hosted_;
};

} // namespace kestro
