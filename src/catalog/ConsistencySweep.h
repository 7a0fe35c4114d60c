#pragma once

#include "catalog/Database.h"

#include <QStringList>

namespace kestro {

// What a sweep removed.
struct SweepReport {
    QStringList droppedTables;  // volume tables that no `index` row owned
    QStringList removedVolumes; // `index` rows whose folder table was missing or empty
};

// Brings a catalog back to a consistent state: every volume table whose
// identifier (the text before its first "_") has no `index` row, in any
// letter case, is dropped, and every `index` row whose folder table is
// missing or lacks its root row is removed with both its tables. Leftovers
// of an interrupted run such as temp_dirs go this way. The fixed tables and
// SQLite's own are never touched; the name index only loses what it held of
// the tables dropped, or of tables made anew since they were indexed. A step
// that fails is skipped (a volume whose row cannot be deleted keeps its
// tables too); the rest of the sweep goes on. The whole sweep is one
// transaction, or part of the caller's; a damaged file stops it, undone,
// with a CatalogError.
SweepReport sweepCatalog(const Database& db);

} // namespace kestro
