#include "catalog/HostedCatalog.h"

#include "catalog/CatalogError.h"
#include "catalog/ChangeReport.h"
#include "catalog/Database.h"
#include "catalog/HostedNameIndex.h"
#include "catalog/Schema.h"
#include "catalog/schema/HostedSchema.h"
#include "platform/CatalogLocation.h"

namespace kestro {

void createHostedCatalog(const QString& uri) {
    const Database db = Database::open(uri, OpenMode::SharedReadWrite);
    Database::Transaction transaction(db);
    createHostedCatalogIn(db);
    transaction.commit();
}

void createHostedCatalogIn(const Database& db) {
    const QString shown = locationForDisplay(db.path());
    // Names of every script are compared in case-folded form; a database in
    // another encoding could not hold them all.
    const SqlValue encoding = db.scalar("SELECT pg_encoding_to_char(encoding) FROM pg_database "
                                        "WHERE datname = current_database()");
    if (encoding != SqlValue(QStringLiteral("UTF8")))
        throw CatalogError(QStringLiteral("The database \"%1\" cannot hold a catalog: its "
                                          "encoding is not UTF-8.")
                               .arg(shown));
    if (db.hasTable(schema::kHostedHeaderTable) || db.hasTable(QStringLiteral("index")))
        throw CatalogError(
            QStringLiteral("The database \"%1\" already holds a catalog.").arg(shown));
    db.executeScript(schema::kHostedSchema);
    db.executeScript(schema::kHostedCommitCount);
    // Made now rather than by the first run that needs them, which could
    // meet another run making them at the same moment.
    CreateChangeReportTables(db);
    EnableHostedNameIndex(db);
    db.execute("INSERT INTO kestro_schema (application_id, user_version) VALUES (?1, ?2)",
               schema::kApplicationId, schema::kSchemaVersion);
}

void completeHostedCatalog(const Database& db) {
    db.executeScript(schema::kHostedCommitCount);
    EnableHostedNameIndex(db);
    IndexAllHostedNames(db);
}

QByteArray hostedCatalogStamp(const QString& uri, OpenMode mode) {
    try {
        const Database db = Database::open(uri, mode);
        Statement count = db.prepare("SELECT tableoid, commits FROM kestro_commits");
        if (!count.next())
            return {};
        return QByteArray::number(count.integer(0)) + ':' + QByteArray::number(count.integer(1));
    } catch (const CatalogError&) {
        return {}; // a catalog made before the count, or a server out of reach
    }
}

void checkHostedCatalog(const Database& db) {
    const QString shown = locationForDisplay(db.path());
    const QSet<QString> held = schema::heldTables(db);
    if (!held.contains(QLatin1String(schema::kHostedHeaderTable)))
        throw CatalogError(
            QStringLiteral("The database \"%1\" holds no Kestro Pro catalog.").arg(shown));
    Statement version = db.prepare("SELECT application_id, user_version FROM kestro_schema");
    if (!version.next() || version.integer(0) != schema::kApplicationId)
        throw CatalogError(
            QStringLiteral("The database \"%1\" holds no Kestro Pro catalog.").arg(shown));
    if (version.integer(1) > schema::kSchemaVersion)
        throw CatalogError(QStringLiteral("The catalog \"%1\" was made by a newer version of "
                                          "Kestro Pro and cannot be used here.")
                               .arg(shown));
    for (const QString& table : schema::fixedTables())
        if (!held.contains(table.toLower()))
            throw CatalogError(
                QStringLiteral("The catalog \"%1\" is damaged: its table \"%2\" is missing.")
                    .arg(shown, table));
}

} // namespace kestro
