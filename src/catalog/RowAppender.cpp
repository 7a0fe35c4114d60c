#include "catalog/RowAppender.h"

#include "catalog/Schema.h"

namespace kestro {

namespace {

// A batch of a megabyte (7,000 rows of a file listing) makes the round
// trips of a million rows cost less than a tenth of a second.
constexpr size_t kBatchBytes = 1 << 20;

// One value as COPY's text format takes it: a backslash, tab, line feed or
// carriage return escaped; Null as \N.
void appendCopyValue(std::string& out, const std::optional<std::string_view>& value) {
    if (!value) {
        out += "\\N";
        return;
    }
    for (const char c : *value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

} // namespace

RowAppender::RowAppender(const Database& db, const QString& table, std::string_view columns)
    : db_(db), table_(quoteIdentifier(table)) {
    if (!db.isHosted()) {
        insert_.emplace(db.prepare(schema::insertRowSql(table, columns)));
        return;
    }
    copy_ = "COPY " + table_ + " (rowid, " + std::string(columns) + ") FROM STDIN";
    lastRowid_ = std::get<qint64>(db.scalar("SELECT coalesce(max(rowid), 0) FROM " + table_));
}

qint64 RowAppender::append(std::initializer_list<std::optional<std::string_view>> values) {
    if (insert_) {
        int index = 0;
        for (const auto& value : values)
            value ? insert_->bind(++index, *value) : insert_->bindNull(++index);
        insert_->run();
        insert_->reset();
        return db_.lastInsertRowid();
    }
    gathered_ += std::to_string(++lastRowid_);
    for (const auto& value : values) {
        gathered_ += '\t';
        appendCopyValue(gathered_, value);
    }
    gathered_ += '\n';
    if (gathered_.size() >= kBatchBytes)
        flush();
    return lastRowid_;
}

void RowAppender::flush() {
    if (gathered_.empty())
        return;
    db_.copyIn(copy_, gathered_);
    gathered_.clear();
    // Rows added later by INSERT take the rowids after these.
    db_.execute("SELECT setval(pg_get_serial_sequence(?1, 'rowid'), ?2)", table_, lastRowid_);
}

} // namespace kestro
