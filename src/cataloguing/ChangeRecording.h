#pragma once

#include "catalog/ChangeReport.h"
#include "cataloguing/ImportProgress.h"

#include <memory>
#include <string_view>

namespace kestro {

// What one volume table held before a re-catalog, matched row by row against
// the new rows as they are imported: an item is known by its path below the
// root and its name, exactly, whatever drive letter the volume had. Folders
// are reported added or removed; a folder's own size and date follow from
// what it holds, so they are not compared. Files are also reported changed
// when their size or date text differs. The root rows are left out.
//
// The old rows are remembered by hashes, not texts: 96 bits of the path below
// the root and the name, 32 bits of the size and date texts. A million rows
// then take about 22 MB, and matching a new row costs a look into memory, not
// a search of the old table. Two different items are taken for
// one only when 96 bits of hash agree (about once in 10^17 re-catalogs of a
// million-row volume), and a changed file is taken for unchanged when 32 bits
// do (one changed file in four billion).
class TableChanges {
public:
    ~TableChanges();
    TableChanges(const TableChanges&) = delete;
    TableChanges& operator=(const TableChanges&) = delete;

    // Reads the old rows, once, before the first new row is matched; yields
    // to the user interface as it goes, and stops early when the user asks
    // to (the run is then abandoned).
    void readPrevious(ImportProgress& progress);
    // One new row, inserted as `rowid` of the table that replaces the old one.
    void add(qint64 rowid, std::string_view parent, std::string_view name, std::string_view size,
             std::string_view date);

private:
    friend class ChangeRecorder;
    struct Previous;
    TableChanges(const Database& db, const QString& tablename, QString current, QString replacement,
                 bool folders, ChangeRun& counts);
    // Records the old rows no new row matched, and the changed ones; the old
    // rows must have been read.
    void recordUnmatched();

    const Database& db_;
    QString tablename_, current_, replacement_;
    bool folders_;
    ChangeRun& counts_;
    std::unique_ptr<Previous> previous_;
    Statement addedItem_;
};

// The change report of one re-catalog, made inside the run's transaction:
// the report before is gone once it is made, and back if the run is undone.
// The two table comparisons are fed by the imports; finish() records the
// rest as the volume's latest change report.
class ChangeRecorder {
public:
    // `folders` and `files` are the volume's current tables, `newFolders`
    // and `newFiles` those that are to replace them.
    ChangeRecorder(const Database& db, const QString& tablename, const QString& folders,
                   const QString& newFolders, const QString& files, const QString& newFiles);
    ~ChangeRecorder();

    TableChanges& folders() { return *folders_; }
    TableChanges& files() { return *files_; }

    // Records the removed and changed items and the run, dated `date` (the
    // catalog moment of the run). Call it once both imports are complete and
    // before the old tables go.
    ChangeRun finish(const QString& date, ImportProgress& progress);

private:
    const Database& db_;
    QString tablename_;
    ChangeRun counts_;
    std::unique_ptr<TableChanges> folders_, files_;
};

} // namespace kestro
