#include "catalog/HostedStatement.h"

#include "catalog/CatalogError.h"
#include "catalog/HostedConnection.h"
#include "catalog/schema/HostedSchema.h"

#include <QString>
#include <algorithm>
#include <cstdlib>
#include <libpq-fe.h>
#include <optional>
#include <utility>

namespace kestro {

namespace {

// Type identifiers of the server's built-in types (pg_type.oid), which the
// client library does not declare.
constexpr Oid kBoolType = 16;
constexpr Oid kByteaType = 17;
constexpr Oid kInt8Type = 20;
constexpr Oid kInt2Type = 21;
constexpr Oid kInt4Type = 23;
constexpr Oid kFloat4Type = 700;
constexpr Oid kFloat8Type = 701;
constexpr Oid kNumericType = 1700;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A text as a number, as SQLite reads a text column as one: the leading
// number, 0 when there is none; "t" (a true boolean) is 1.
double numberOf(std::string_view text) {
    if (text == "t")
        return 1;
    return std::strtod(std::string(text).c_str(), nullptr);
}

} // namespace

std::string serverParameters(std::string_view sql, int& count) {
    std::string out;
    out.reserve(sql.size() + 8);
    count = 0;
    size_t i = 0;
    const auto copyUntil = [&](std::string_view end) {
        const size_t stop = sql.find(end, i);
        const size_t next = stop == std::string_view::npos ? sql.size() : stop + end.size();
        out.append(sql.substr(i, next - i));
        i = next;
    };
    while (i < sql.size()) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            // A doubled quote inside ends one quoted run and starts the next.
            out += c;
            ++i;
            copyUntil(std::string_view(&c, 1));
        } else if (sql.substr(i, 2) == "--") {
            copyUntil("\n");
        } else if (sql.substr(i, 2) == "/*") {
            copyUntil("*/");
        } else if (c == '?') {
            size_t end = i + 1;
            while (end < sql.size() && isDigit(sql[end]))
                ++end;
            const int number = end > i + 1
                                   ? std::atoi(std::string(sql.substr(i + 1, end - i - 1)).c_str())
                                   : count + 1;
            count = std::max(count, number);
            out += '$' + std::to_string(number);
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

HostedStatement::HostedStatement(HostedConnection& connection, std::string_view sql)
    : connection_(connection), text_(serverParameters(sql, parameterCount_)),
      name_(connection.nextStatementName()) {
    values_.resize(size_t(parameterCount_));
    formats_.assign(size_t(parameterCount_), 0);
}

bool HostedStatement::runAsText() {
    if (std::exchange(ranBefore_, true) || prepared_) {
        prepare();
        return false;
    }
    return true;
}

void HostedStatement::prepare() const {
    // Parameter types are left to the server, which takes them from where
    // they stand, as SQLite takes any value anywhere.
    if (!prepared_)
        connection_.check(
            PQprepare(connection_.handle(), name_.c_str(), text_.c_str(), 0, nullptr));
    prepared_ = true;
}

HostedStatement::~HostedStatement() {
    finishStream();
    clearResult();
    PQclear(description_);
    // Inside a failed transaction the server refuses this, and the statement
    // goes when the connection ends.
    if (prepared_ && PQstatus(connection_.handle()) == CONNECTION_OK &&
        PQtransactionStatus(connection_.handle()) != PQTRANS_INERROR)
        PQclear(PQexec(connection_.handle(), ("DEALLOCATE " + name_).c_str()));
}

void HostedStatement::bind(int index, std::optional<std::string> text) {
    if (index < 1 || index > parameterCount_)
        throw CatalogError(QStringLiteral("A statement has no parameter %1.").arg(index));
    // The server's texts end at a NUL character: what came after would be
    // lost without a word.
    if (text && text->find('\0') != std::string::npos)
        throw CatalogError(QStringLiteral("A hosted catalog cannot hold a text with a NUL "
                                          "character: \"%1\".")
                               .arg(QString::fromUtf8(text->c_str())));
    values_[size_t(index - 1)] = std::move(text);
    formats_[size_t(index - 1)] = 0;
}

void HostedStatement::bindBlob(int index, std::string_view bytes) {
    bind(index, std::nullopt);
    values_[size_t(index - 1)] = std::string(bytes);
    formats_[size_t(index - 1)] = 1;
}

std::pair<std::vector<const char*>, std::vector<int>> HostedStatement::boundValues() const {
    std::vector<const char*> values;
    std::vector<int> lengths;
    for (const auto& v : values_) {
        values.push_back(v ? v->c_str() : nullptr);
        lengths.push_back(v ? int(v->size()) : 0);
    }
    return {values, lengths};
}

bool HostedStatement::next() {
    if (rowByRow_)
        return nextRowOfStream();
    if (!result_) {
        const auto [values, lengths] = boundValues();
        result_ = runAsText()
                      ? PQexecParams(connection_.handle(), text_.c_str(), parameterCount_, nullptr,
                                     values.data(), lengths.data(), formats_.data(), 0)
                      : PQexecPrepared(connection_.handle(), name_.c_str(), parameterCount_,
                                       values.data(), lengths.data(), formats_.data(), 0);
        const ExecStatusType status = PQresultStatus(result_);
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
            clearResult();
            throw connection_.failure();
        }
        if (status == PGRES_COMMAND_OK) {
            connection_.setChanges(std::atoll(PQcmdTuples(result_)));
            // A change made outside a transaction was committed with it, and
            // is counted after it can be seen: a stamp is never newer than
            // the rows read with it.
            if (connection_.changes() > 0 && !connection_.inTransaction())
                connection_.executeScript(schema::countCommitSql(false));
        }
        row_ = -1;
    }
    if (++row_ < PQntuples(result_)) {
        unescaped_.assign(size_t(PQnfields(result_)), std::nullopt);
        return true;
    }
    clearResult();
    return false;
}

bool HostedStatement::nextRowOfStream() {
    if (!streaming_) {
        const auto [values, lengths] = boundValues();
        const int sent =
            runAsText()
                ? PQsendQueryParams(connection_.handle(), text_.c_str(), parameterCount_, nullptr,
                                    values.data(), lengths.data(), formats_.data(), 0)
                : PQsendQueryPrepared(connection_.handle(), name_.c_str(), parameterCount_,
                                      values.data(), lengths.data(), formats_.data(), 0);
        if (sent != 1)
            throw connection_.failure();
        streaming_ = true;
        PQsetSingleRowMode(connection_.handle());
    }
    clearResult();
    result_ = PQgetResult(connection_.handle());
    if (PQresultStatus(result_) == PGRES_SINGLE_TUPLE) {
        row_ = 0;
        unescaped_.assign(size_t(PQnfields(result_)), std::nullopt);
        return true;
    }
    // The end of the rows, or a failure, which the connection still tells
    // until the rest of what the server sends is read.
    std::optional<CatalogError> failed;
    if (PQresultStatus(result_) != PGRES_TUPLES_OK)
        failed.emplace(connection_.failure());
    clearResult();
    finishStream();
    if (failed)
        throw *failed;
    return false;
}

void HostedStatement::finishStream() {
    // A read stopped early is read to its end: cancelling it would abort
    // the transaction it runs in.
    if (std::exchange(streaming_, false))
        while (PGresult* rest = PQgetResult(connection_.handle()))
            PQclear(rest);
}

void HostedStatement::reset() {
    finishStream();
    clearResult();
}

void HostedStatement::clearResult() {
    PQclear(result_);
    result_ = nullptr;
    row_ = -1;
}

pg_result* HostedStatement::shape() const {
    if (result_)
        return result_;
    if (!description_) {
        prepare();
        description_ = PQdescribePrepared(connection_.handle(), name_.c_str());
    }
    return description_;
}

int HostedStatement::columnCount() const {
    return PQnfields(shape());
}

std::string_view HostedStatement::columnName(int col) const {
    const char* name = PQfname(shape(), col);
    return name ? std::string_view(name) : std::string_view();
}

bool HostedStatement::isNull(int col) const {
    return !result_ || PQgetisnull(result_, row_, col);
}

std::string_view HostedStatement::utf8(int col) const {
    if (isNull(col))
        return {};
    return {PQgetvalue(result_, row_, col), size_t(PQgetlength(result_, row_, col))};
}

std::string_view HostedStatement::blob(int col) const {
    if (PQftype(result_, col) != kByteaType)
        return utf8(col);
    if (isNull(col))
        return {};
    auto& bytes = unescaped_[size_t(col)];
    if (!bytes) {
        size_t length = 0;
        unsigned char* raw = PQunescapeBytea(
            reinterpret_cast<const unsigned char*>(PQgetvalue(result_, row_, col)), &length);
        bytes.emplace(reinterpret_cast<const char*>(raw), length);
        PQfreemem(raw);
    }
    return *bytes;
}

qint64 HostedStatement::integer(int col) const {
    const std::string_view text = utf8(col);
    if (text == "t")
        return 1;
    const Oid type = PQftype(result_, col);
    if (type == kFloat4Type || type == kFloat8Type || type == kNumericType)
        return qint64(numberOf(text));
    return std::atoll(std::string(text).c_str());
}

double HostedStatement::real(int col) const {
    return numberOf(utf8(col));
}

SqlValue HostedStatement::value(int col) const {
    if (isNull(col))
        return std::monostate{};
    switch (PQftype(result_, col)) {
    case kBoolType:
    case kInt2Type:
    case kInt4Type:
    case kInt8Type:
        return integer(col);
    case kFloat4Type:
    case kFloat8Type:
    case kNumericType:
        return real(col);
    default: {
        const std::string_view text = utf8(col);
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    }
    }
}

} // namespace kestro
