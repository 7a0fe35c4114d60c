#pragma once

#include "catalog/ChangeReport.h"

namespace kestro {

// A volume table and the table of new rows that is to replace it.
struct ReplacedTable {
    QString current;
    QString replacement;
    bool folders = false;
};

// Compares the new rows of a volume catalogued again with the rows it had,
// item by item through the path below the root and the name, and records
// the result as the volume's latest change report, in place of the one
// before. Folders are reported added or removed; a folder's own size and
// date follow from what it holds, so they are not compared. Files are also
// reported changed when their size or date text differs. The root rows are
// left out.
//
// Run it inside the transaction that replaces the tables, before the old
// ones go: it builds the lookup index of each replacement under the name of
// the current table's index, which it drops (see createLookupIndexSql).
// `rootName` is the root the new rows were catalogued under ("E:"), `date`
// the catalog moment of the run.
ChangeRun RecordChanges(const Database& db, const QString& tablename, const QString& rootName,
                        const std::vector<ReplacedTable>& tables, const QString& date);

} // namespace kestro
