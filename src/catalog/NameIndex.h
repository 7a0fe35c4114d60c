#pragma once

#include "catalog/Database.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

namespace kestro {

// The name index keeps the names of the volume tables' rows in a form that a
// name search reads in milliseconds (NameCandidates reads it): per volume
// table, the names case-folded (appendFoldedName) in blocks of 1,024 with the
// rowids of their rows, and a record of which blocks hold which four-byte
// pieces of names. It only narrows a search: the search condition still
// judges every row it names.
//
// It lives in tables of its own in the catalog file (NameIndexSchema.h),
// written in the transactions of the changes that make it necessary: a
// cataloguing run, the deletion of a volume or a row, a sweep. A table whose
// names are not in it, or whose entries are out of date, is searched by
// reading the table, and indexed again by the next search that can write.

// True when the catalog has the index's tables. A catalog made before them
// has none; cataloguing runs then leave names unindexed until Compact or a
// search builds the index.
bool HasNameIndex(const Database& db);
// Makes the index's tables, unless they are there. A hosted catalog has its
// own (HostedNameIndex.h): CatalogError.
void CreateNameIndex(const Database& db);
// Drops the index's tables with everything in them.
void DropNameIndex(const Database& db);
// The index's own tables, which are never volume tables.
const QStringList& NameIndexTables();
bool IsNameIndexTable(const QString& name);

// Writes the names of one volume table into the index, fed row by row in
// rowid order, in the caller's transaction. What the index held of the
// table before goes at once. The rows may sit in a table that is to take the
// indexed table's name (a cataloguing run's new table): the index then
// stands for that table once it has been renamed.
class NameIndexWriter {
public:
    NameIndexWriter(const Database& db, QString table, const QString& rowsTable);
    ~NameIndexWriter();
    NameIndexWriter(const NameIndexWriter&) = delete;
    NameIndexWriter& operator=(const NameIndexWriter&) = delete;

    void add(qint64 rowid, std::string_view name);
    // Writes what is still held; the index then covers the table.
    void finish();

private:
    struct Block;
    void closeBlock();
    void writeSegment();

    const Database& db_;
    QString table_;
    qint64 rootpage_ = 0;
    std::unique_ptr<Block> block_;
    std::vector<Block> segment_;
    bool segmentWritten_ = false;
};

// Indexes the names of a volume table from its rows, in a transaction of its
// own. `keepGoing` is asked every few thousand rows; when it says no, nothing
// is written and the result is false.
bool IndexNamesOf(const Database& db, const QString& table,
                  const std::function<bool()>& keepGoing = {});

// Makes the index afresh: the names of both tables of every `index` row, in
// tables made anew; one transaction.
void IndexAllNames(const Database& db);

// Takes a volume table out of the index (its table is dropped or made anew).
void ForgetIndexedNames(const Database& db, const QString& table);

// Takes rows out of the index: the rows of `table` with these rowids are
// deleted.
void ForgetIndexedRows(const Database& db, const QString& table, const std::vector<qint64>& rowids);

// Takes out of the index every table that is gone or was made anew since it
// was indexed.
void PruneNameIndex(const Database& db);

} // namespace kestro
