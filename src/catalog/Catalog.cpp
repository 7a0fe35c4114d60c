#include "catalog/Catalog.h"

#include "catalog/CatalogError.h"
#include "catalog/HostedCatalog.h"
#include "catalog/Schema.h"
#include "platform/CatalogLocation.h"

#include <QFile>
#include <sys/stat.h>

namespace kestro {

namespace {

qint64 integerPragma(const Database& db, std::string_view pragma) {
    const SqlValue v = db.scalar(pragma);
    return std::holds_alternative<qint64>(v) ? std::get<qint64>(v) : 0;
}

// Where SQLite's file change counter lies in the database header.
constexpr qint64 kChangeCounterOffset = 24;
constexpr qint64 kChangeCounterSize = 4;

} // namespace

QByteArray Catalog::stamp() const {
    if (isHostedLocation(path_))
        return hostedCatalogStamp(path_, mode_);
    QFile file(path_);
    struct stat status {};
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) ||
        fstat(file.handle(), &status) != 0 || !file.seek(kChangeCounterOffset))
        return {};
    const QByteArray counter = file.read(kChangeCounterSize);
    if (counter.size() != kChangeCounterSize)
        return {};
    return QByteArray::number(quint64(status.st_dev)) + ':' +
           QByteArray::number(quint64(status.st_ino)) + ':' + counter.toHex();
}

Database Catalog::open() const {
    Database db = Database::open(path_, mode_);
    if (db.isHosted()) {
        checkHostedCatalog(db);
        return db;
    }
    if (integerPragma(db, "PRAGMA application_id") != schema::kApplicationId)
        throw CatalogError(
            QStringLiteral("The file \"%1\" is not a Kestro Pro catalog.").arg(path_));
    if (integerPragma(db, "PRAGMA user_version") > schema::kSchemaVersion)
        throw CatalogError(QStringLiteral("The catalog \"%1\" was made by a newer version of "
                                          "Kestro Pro and cannot be used here.")
                               .arg(path_));
    QStringList present;
    Statement tables =
        db.prepare("SELECT lower(name) FROM sqlite_master WHERE type='table' AND lower(name) IN "
                   "('name', 'categories', 'index', 'template_dirs', 'template_files')");
    while (tables.next())
        present << tables.text(0);
    for (const QString& table : schema::fixedTables())
        if (!present.contains(table.toLower()))
            throw CatalogError(
                QStringLiteral("The catalog \"%1\" is damaged: its table \"%2\" is missing.")
                    .arg(path_, table));
    // A catalog may sit on a network share, where WAL is unsafe. Switched only
    // now, so that a file that is no catalog of ours is never written to.
    if (mode_ == OpenMode::SharedReadWrite) {
        try {
            db.executeScript("PRAGMA journal_mode=DELETE;");
        } catch (const CatalogError& e) {
            throw CatalogError(QStringLiteral("The catalog \"%1\" cannot be opened for writing: %2")
                                   .arg(path_, e.message()),
                               e.sqliteCode());
        }
    }
    return db;
}

} // namespace kestro
