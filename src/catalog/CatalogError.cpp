#include "catalog/CatalogError.h"

#include <sqlite3.h>

namespace kestro {

bool CatalogError::isDamagedFile() const {
    return sqliteCode_ == SQLITE_CORRUPT || sqliteCode_ == SQLITE_NOTADB;
}

CatalogError SqliteFailure(sqlite3* db, int code, const QString& failed) {
    const int primary = code & 0xff;
    const QString file = QString::fromUtf8(sqlite3_db_filename(db, "main"));
    const QString reason = QString::fromUtf8(sqlite3_errmsg(db));
    const QString what = primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB
                             ? QStringLiteral("is damaged and cannot be used")
                         : failed.isEmpty() ? QStringLiteral("could not be read or written")
                                            : failed;
    return CatalogError(QStringLiteral("The catalog \"%1\" %2: %3.").arg(file, what, reason),
                        primary);
}

} // namespace kestro
