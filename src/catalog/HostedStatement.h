#pragma once

#include "catalog/SqlValue.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct pg_result;

namespace kestro {

class HostedConnection;

// Rewrites the parameters of SQL text as the server numbers them: "?N"
// becomes "$N", and a bare "?" takes the number after the largest so far.
// Quoted texts, quoted names and comments are left as they are. `count` is
// set to the largest number used.
std::string serverParameters(std::string_view sql, int& count);

// A statement on the server, behind a Statement: values are sent apart from
// the SQL text, and the rows come back whole when it runs. The first run
// sends the text with the values, one round trip; a statement run again, or
// asked for its columns before it runs, is prepared on the server once.
class HostedStatement {
public:
    HostedStatement(HostedConnection& connection, std::string_view sql);
    ~HostedStatement();
    HostedStatement(const HostedStatement&) = delete;
    HostedStatement& operator=(const HostedStatement&) = delete;

    // The value of a parameter as text; nothing for Null.
    void bind(int index, std::optional<std::string> text);
    void bindBlob(int index, std::string_view bytes);

    // Rows then come from the server one at a time (single-row mode) rather
    // than all at once.
    void readRowByRow() { rowByRow_ = true; }

    // Runs the statement when it has not run yet; then gives its rows one by
    // one. After the last, the next call runs it again.
    bool next();
    void reset();

    int columnCount() const;
    std::string_view columnName(int col) const;
    bool isNull(int col) const;
    std::string_view utf8(int col) const;
    std::string_view blob(int col) const;
    qint64 integer(int col) const;
    double real(int col) const;
    SqlValue value(int col) const;

private:
    // The bound values as the client library takes them: texts and lengths.
    std::pair<std::vector<const char*>, std::vector<int>> boundValues() const;
    // True when this run goes as text; otherwise the statement is prepared.
    bool runAsText();
    void prepare() const;
    bool nextRowOfStream();
    // Reads what the server still sends of a row-by-row read.
    void finishStream();
    void clearResult();
    pg_result* shape() const;

    HostedConnection& connection_;
    int parameterCount_ = 0; // set while text_ is made
    std::string text_;       // with the server's parameters
    std::string name_;
    mutable bool prepared_ = false;
    bool ranBefore_ = false;
    std::vector<std::optional<std::string>> values_;
    std::vector<int> formats_;
    pg_result* result_ = nullptr;
    mutable pg_result* description_ = nullptr;
    int row_ = -1;
    bool rowByRow_ = false;
    bool streaming_ = false; // a row-by-row read sent and not read to its end
    mutable std::vector<std::optional<std::string>> unescaped_; // bytea of the current row
};

} // namespace kestro
