#pragma once

#include <QByteArray>
#include <QString>

namespace kestro {

class Database;
enum class OpenMode;

// Makes an empty hosted catalog in the database a connection URI names: the
// template's tables and the catalog's SQL functions (schema/HostedSchema.h),
// in one transaction, with pg_trgm for its name index when the server has it.
// The database must use UTF-8 and hold no catalog yet.
// Throws CatalogError.
void createHostedCatalog(const QString& uri);
// The same on a connected database, in the caller's transaction.
void createHostedCatalogIn(const Database& db);

// Adds to a hosted catalog what an earlier version did not make with it: the
// count of commits, pg_trgm and the name index of every volume table.
void completeHostedCatalog(const Database& db);

// What changes whenever a change to the hosted catalog is committed, by any
// client, and only then (Catalog::stamp): its count of commits. Empty when
// it cannot be read.
QByteArray hostedCatalogStamp(const QString& uri, OpenMode mode);

// Makes sure a connected server database holds a catalog this program can
// use, as Catalog::open() does for a file. Throws CatalogError.
void checkHostedCatalog(const Database& db);

} // namespace kestro
