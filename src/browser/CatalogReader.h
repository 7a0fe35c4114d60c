#pragma once

#include "browser/VolumeSummary.h"
#include "catalog/Database.h"

#include <QString>
#include <optional>
#include <vector>

namespace kestro {

// What the catalog tree and the contents list read from a catalog. Every
// function works on a connection the caller opened for one operation, and
// finds folders and files by their parent through the volume tables' lookup
// index: nothing here reads a whole volume table. Failures throw CatalogError
// unless said otherwise.

struct CategoryEntry {
    QString key; // "`3"
    QString name;
};

// The catalog's own name (the root node's text) and its categories in table
// order.
struct RootAndCategories {
    QString name;
    std::vector<CategoryEntry> categories;
};
RootAndCategories ReadRootAndCategories(const Database& db);

// A folder node to add: its key and its stored name.
struct FolderEntry {
    QString key;
    QString name;
};

// One volume of the tree with its first level of folders.
struct VolumeEntry {
    QString key;       // tablename "_" root name
    QString name;      // as the user named it
    QString parentKey; // "~", or the key of its category
    QString imageKey;  // by drive kind and size
    VolumeSummary summary;
    QString storedDirs; // the counts as stored, for the list made at a refresh
    QString storedFiles;
    std::vector<FolderEntry> folders; // the top-level folders, by name
};

// Every volume of the catalog, ordered by drive kind and then by name. A
// volume whose tables cannot be read is left out and the others are still
// read; a volume whose folders cannot be read is shown without them.
std::vector<VolumeEntry> ReadVolumes(const Database& db);

// The folders directly inside `path` ("D:" or "D:\GAMES") of the volume
// `tablename`, by name.
std::vector<FolderEntry> ReadSubFolders(const Database& db, const QString& tablename,
                                        const QString& path);

// A row of a folder listing: a sub-folder or a file as stored.
struct ListingRow {
    QString name;
    QString size;
    QString date;
    std::optional<QString> description;
};

// The sub-folders and the files directly inside `path`, in the order of
// their names' bytes.
std::vector<ListingRow> ReadFolderRows(const Database& db, const QString& tablename,
                                       const QString& path);
std::vector<ListingRow> ReadFileRows(const Database& db, const QString& tablename,
                                     const QString& path);

// The name of the volume whose tables a key names; empty when there is none.
QString VolumeNameOfKey(const Database& db, const QString& key);

} // namespace kestro
