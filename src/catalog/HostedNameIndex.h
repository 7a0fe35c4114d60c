#pragma once

#include "catalog/Database.h"

#include <QString>

namespace kestro {

// The name index of a hosted catalog: per volume table, the server's trigram
// index (pg_trgm) on the names as lower() folds them, which finds the rows
// whose folded name is LIKE a pattern without reading the table, and checks
// each row it finds. A search's name condition, kestro_like(pattern, name),
// is an SQL function the server puts in place as lower(name) LIKE the
// pattern made LIKE's, with the pattern's value in it: the server then
// looks the pattern up in this index when that is quicker than reading the
// table. The server keeps the index up to date with every change of the
// table; a volume new to the catalog is indexed after its run has committed,
// and until then its searches read its table.
//
// A server without pg_trgm still holds catalogs; their searches read the
// tables.

// What is said where a hosted catalog is made on a server without pg_trgm.
QString NoHostedNameIndexNote(const QString& location);

// Adds pg_trgm to the catalog's database unless it has it. When the server
// lacks it or refuses it to the user, nothing else changes: the caller's
// transaction goes on.
void EnableHostedNameIndex(const Database& db);
// True when the catalog's database has pg_trgm, so that its volume tables can
// have their names indexed.
bool CanIndexHostedNames(const Database& db);

// Indexes the names of a volume table unless they are, in a database that
// has pg_trgm (CanIndexHostedNames); made after the table's rows are in,
// which is quicker than adding them to an index one by one. Writers to the
// table wait meanwhile.
void IndexHostedNames(const Database& db, const QString& table);
// The same for every volume table of the catalog that has no index, each in a
// transaction of its own, unless another program is indexing it. A
// cataloguing run leaves its volume's names to this, once it has committed
// (BackgroundNameIndexing.h): building the index takes longer than reading
// the volume did. Compact runs it too.
void IndexAllHostedNames(const Database& db);

// True when a volume table's names are indexed and the index can be used.
bool HostedNamesIndexed(const Database& db, const QString& table);

} // namespace kestro
