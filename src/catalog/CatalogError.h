#pragma once

#include <QString>
#include <stdexcept>

struct sqlite3;

namespace kestro {

// A catalog operation failed. The message is written for the user: it names
// the file or table concerned and what went wrong.
class CatalogError : public std::runtime_error {
  public:
    explicit CatalogError(const QString& message, int sqliteCode = 0)
        : std::runtime_error(message.toStdString()), sqliteCode_(sqliteCode) {}

    QString message() const { return QString::fromUtf8(what()); }

    // SQLite's primary result code, or 0 when the failure is not SQLite's.
    int sqliteCode() const { return sqliteCode_; }

    // The file is damaged (or is no database at all): nothing read from it
    // can be trusted, so whatever was under way must not go on.
    bool isDamagedFile() const;

  private:
    int sqliteCode_;
};

// What SQLite reported on `db` for the result code `code`, as a message that
// names the catalog file and says what failed, SQLite's own words last: "The
// catalog "/home/a/x.mdb" is damaged and cannot be used: database disk image
// is malformed." `failed` says what could not be done when the file is not
// damaged ("could not be read or written" unless given).
CatalogError SqliteFailure(sqlite3* db, int code, const QString& failed = {});

} // namespace kestro
