#include "catalog/Statement.h"

#include "catalog/CatalogError.h"
#include "catalog/HostedStatement.h"

#include <cmath>
#include <sqlite3.h>

namespace kestro {

namespace {

// A floating-point number as the server reads it back exactly.
std::string serverText(double number) {
    if (std::isnan(number))
        return "NaN";
    if (std::isinf(number))
        return number > 0 ? "Infinity" : "-Infinity";
    return QByteArray::number(number, 'g', 17).toStdString();
}

} // namespace

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
    const int rc = sqlite3_prepare_v2(db_, sql.data(), int(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK)
        fail(rc);
}

Statement::Statement(HostedConnection& connection, std::string_view sql)
    : hosted_(std::make_unique<HostedStatement>(connection, sql)) {}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_), stmt_(other.stmt_), hosted_(std::move(other.hosted_)) {
    other.stmt_ = nullptr;
}

void Statement::fail(int code) const {
    throw SqliteFailure(db_, code);
}

Statement& Statement::bind(int index, const QString& text) {
    if (hosted_) {
        hosted_->bind(index, text.toStdString());
        return *this;
    }
    const QByteArray utf8 = text.toUtf8();
    const int rc = sqlite3_bind_text64(stmt_, index, utf8.constData(), sqlite3_uint64(utf8.size()),
                                       SQLITE_TRANSIENT, SQLITE_UTF8);
    if (rc != SQLITE_OK)
        fail(rc);
    return *this;
}

Statement& Statement::bind(int index, std::string_view utf8) {
    if (hosted_) {
        hosted_->bind(index, std::string(utf8));
        return *this;
    }
    const int rc = sqlite3_bind_text64(stmt_, index, utf8.data(), sqlite3_uint64(utf8.size()),
                                       SQLITE_STATIC, SQLITE_UTF8);
    if (rc != SQLITE_OK)
        fail(rc);
    return *this;
}

Statement& Statement::bind(int index, qint64 number) {
    if (hosted_) {
        hosted_->bind(index, std::to_string(number));
        return *this;
    }
    const int rc = sqlite3_bind_int64(stmt_, index, number);
    if (rc != SQLITE_OK)
        fail(rc);
    return *this;
}

Statement& Statement::bind(int index, double number) {
    if (hosted_) {
        hosted_->bind(index, serverText(number));
        return *this;
    }
    const int rc = sqlite3_bind_double(stmt_, index, number);
    if (rc != SQLITE_OK)
        fail(rc);
    return *this;
}

Statement& Statement::bind(const char* name, qint64 number) {
    const int index = sqlite3_bind_parameter_index(stmt_, name);
    if (index == 0)
        fail(SQLITE_RANGE);
    return bind(index, number);
}

Statement& Statement::bindNull(int index) {
    if (hosted_) {
        hosted_->bind(index, std::nullopt);
        return *this;
    }
    const int rc = sqlite3_bind_null(stmt_, index);
    if (rc != SQLITE_OK)
        fail(rc);
    return *this;
}

Statement& Statement::bindBlob(int index, std::string_view bytes) {
    if (hosted_) {
        hosted_->bindBlob(index, bytes);
        return *this;
    }
    // No bytes at all would bind Null, not an empty blob.
    const char* data = bytes.data() ? bytes.data() : "";
    const int rc =
        sqlite3_bind_blob64(stmt_, index, data, sqlite3_uint64(bytes.size()), SQLITE_STATIC);
    if (rc != SQLITE_OK)
        fail(rc);
    return *this;
}

Statement& Statement::bind(int index, const SqlValue& value) {
    std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>)
                bindNull(index);
            else
                bind(index, v);
        },
        value);
    return *this;
}

bool Statement::next() {
    if (hosted_)
        return hosted_->next();
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail(rc);
}

void Statement::run() {
    while (next()) {
    }
}

Statement& Statement::readRowByRow() {
    if (hosted_)
        hosted_->readRowByRow();
    return *this;
}

void Statement::reset() {
    if (hosted_)
        return hosted_->reset();
    sqlite3_reset(stmt_);
}

int Statement::columnCount() const {
    if (hosted_)
        return hosted_->columnCount();
    return sqlite3_column_count(stmt_);
}

int Statement::column(std::string_view name) const {
    const int count = columnCount();
    for (int i = 0; i < count; ++i) {
        const char* found = hosted_ ? hosted_->columnName(i).data() : sqlite3_column_name(stmt_, i);
        if (sqlite3_strnicmp(found, name.data(), int(name.size())) == 0 &&
            found[name.size()] == '\0')
            return i;
    }
    throw CatalogError(QStringLiteral("The catalog has no column \"%1\".")
                           .arg(QString::fromUtf8(name.data(), qsizetype(name.size()))));
}

bool Statement::isNull(int col) const {
    if (hosted_)
        return hosted_->isNull(col);
    return sqlite3_column_type(stmt_, col) == SQLITE_NULL;
}

std::string_view Statement::utf8(int col) const {
    if (hosted_)
        return hosted_->utf8(col);
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    return bytes ? std::string_view(bytes, size_t(sqlite3_column_bytes(stmt_, col)))
                 : std::string_view();
}

std::string_view Statement::blob(int col) const {
    if (hosted_)
        return hosted_->blob(col);
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt_, col));
    return bytes ? std::string_view(bytes, size_t(sqlite3_column_bytes(stmt_, col)))
                 : std::string_view();
}

QString Statement::text(int col) const {
    const std::string_view bytes = utf8(col);
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

qint64 Statement::integer(int col) const {
    if (hosted_)
        return hosted_->integer(col);
    return sqlite3_column_int64(stmt_, col);
}

double Statement::real(int col) const {
    if (hosted_)
        return hosted_->real(col);
    return sqlite3_column_double(stmt_, col);
}

SqlValue Statement::value(int col) const {
    if (hosted_)
        return hosted_->value(col);
    switch (sqlite3_column_type(stmt_, col)) {
    case SQLITE_NULL:
        return std::monostate{};
    case SQLITE_INTEGER:
        return integer(col);
    case SQLITE_FLOAT:
        return real(col);
    default:
        return text(col);
    }
}

std::optional<QString> Statement::optionalText(std::string_view name) const {
    const int col = column(name);
    if (isNull(col))
        return std::nullopt;
    return text(col);
}

} // namespace kestro
