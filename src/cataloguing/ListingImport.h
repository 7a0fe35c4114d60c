#pragma once

#include "catalog/Database.h"
#include "cataloguing/ImportProgress.h"

#include <QString>
#include <memory>

namespace kestro {

class NameIndexWriter;
class TableChanges;

// What one import read.
struct ImportCount {
    qint32 lines = 0;     // every line read, the root line and a marker's line included
    qint64 malformed = 0; // lines that broke the listing format and were skipped
    bool aborted = false; // the user stopped the import before the end
};

// The two listing imports. Each reads one listing file line by line into a
// volume's table, converting byte counts to size texts and listing dates to
// date texts, and yields to the user interface after every 11th line. They
// work inside the caller's transaction on the caller's connection: rows are
// only kept when the caller commits. A line that breaks the format (a parent
// or name that is not UTF-8 or holds a NUL included) is skipped and counted,
// never fatal; a listing that cannot be read throws CatalogError. Each item
// row goes to the name index `names` and the change report `changes` too,
// when given (the root row to neither).

// The folder listing, into a volume's folder table: its first line is the
// volume's root row (name and size; no parent, no date), then one row per
// folder.
ImportCount ImportFolders(const Database& db, const QString& folderTable,
                          const QString& listingPath, ImportProgress& progress,
                          NameIndexWriter* names = nullptr, TableChanges* changes = nullptr);

// The file listing, into a volume's file table: one row per file, except the
// volume's own marker file in its root folder `rootName` ("D:"), whose line
// is read and counted but not kept. Returns at once, reading nothing, when
// the user has already asked to stop.
ImportCount ImportFiles(const Database& db, const QString& fileTable, const QString& listingPath,
                        const QString& rootName, ImportProgress& progress,
                        NameIndexWriter* names = nullptr);

// The file listing imported while the walk still writes it (ImportFiles
// imports it once written): importWritten() takes the complete lines written
// so far, finish() the rest once the walk has ended, showing the progress as
// ImportFiles does. Before the listing exists, importWritten() reads nothing.
class FileListingImport {
public:
    FileListingImport(const Database& db, const QString& fileTable, const QString& listingPath,
                      const QString& rootName, NameIndexWriter* names = nullptr,
                      TableChanges* changes = nullptr);
    ~FileListingImport();
    FileListingImport(const FileListingImport&) = delete;
    FileListingImport& operator=(const FileListingImport&) = delete;

    // Imports at most `maxLines` of the complete lines written so far, and
    // stops when the user asks; returns how many lines it read. The
    // progress value follows the characters read; no status is set.
    qint64 importWritten(ImportProgress& progress, qint64 maxLines);
    // Imports every line left, the listing being complete; returns what the
    // whole import read, as ImportFiles does.
    ImportCount finish(ImportProgress& progress);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The text between the (n-1)-th and the n-th field separator (the byte 0xFE)
// of a listing line; fields count from 1, and a number below 1 gives nothing.
std::string_view ListingField(int n, std::string_view line);

} // namespace kestro
