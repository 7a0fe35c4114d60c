#include "catalog/Statement.h"

#include "catalog/CatalogError.h"

#include <sqlite3.h>

namespace kestro {

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
    const int rc = sqlite3_prepare_v2(db_, sql.data(), int(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK)
        fail(rc);
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept : db_(other.db_), stmt_(other.stmt_) {
    other.stmt_ = nullptr;
}

void Statement::fail(int code) const {
    throw SqliteFailure(db_, code);
}

Statement& Statement::bind(int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const int rc = sqlite3_bind_text64(stmt_, index, utf8.constData(), sqlite3_uint64(utf8.size()),
                                       SQLITE_TRANSIENT, SQLITE_UTF8);
    if (rc != SQLITE_OK)
        fail(rc);
    return *this;
}

Statement& Statement::bind(int index, std::string_view utf8) {
    const int rc = sqlite3_bind_text64(stmt_, index, utf8.data(), sqlite3_uint64(utf8.size()),
                                       SQLITE_STATIC, SQLITE_UTF8);
    if (rc != SQLITE_OK)
        fail(rc);
    return *this;
}

Statement& Statement::bind(int index, qint64 number) {
    const int rc = sqlite3_bind_int64(stmt_, index, number);
    if (rc != SQLITE_OK)
        fail(rc);
    return *this;
}

Statement& Statement::bind(int index, double number) {
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
    const int rc = sqlite3_bind_null(stmt_, index);
    if (rc != SQLITE_OK)
        fail(rc);
    return *this;
}

Statement& Statement::bindBlob(int index, std::string_view bytes) {
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

void Statement::reset() {
    sqlite3_reset(stmt_);
}

int Statement::columnCount() const {
    return sqlite3_column_count(stmt_);
}

int Statement::column(std::string_view name) const {
    const int count = sqlite3_column_count(stmt_);
    for (int i = 0; i < count; ++i)
        if (sqlite3_strnicmp(sqlite3_column_name(stmt_, i), name.data(), int(name.size())) == 0 &&
            sqlite3_column_name(stmt_, i)[name.size()] == '\0')
            return i;
    throw CatalogError(QStringLiteral("The catalog has no column \"%1\".")
                           .arg(QString::fromUtf8(name.data(), qsizetype(name.size()))));
}

bool Statement::isNull(int col) const {
    return sqlite3_column_type(stmt_, col) == SQLITE_NULL;
}

std::string_view Statement::utf8(int col) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    return bytes ? std::string_view(bytes, size_t(sqlite3_column_bytes(stmt_, col)))
                 : std::string_view();
}

std::string_view Statement::blob(int col) const {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt_, col));
    return bytes ? std::string_view(bytes, size_t(sqlite3_column_bytes(stmt_, col)))
                 : std::string_view();
}

QString Statement::text(int col) const {
    const std::string_view bytes = utf8(col);
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

qint64 Statement::integer(int col) const {
    return sqlite3_column_int64(stmt_, col);
}

double Statement::real(int col) const {
    return sqlite3_column_double(stmt_, col);
}

SqlValue Statement::value(int col) const {
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
