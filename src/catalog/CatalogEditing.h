#pragma once

#include "catalog/Database.h"

#include <QString>
#include <optional>

namespace kestro {

// The changes a user makes to a catalog's contents. Each runs as one
// transaction, or as part of the caller's: several deletions wrapped in one
// Database::Transaction succeed or fail together. Failures throw
// CatalogError; texts are stored exactly as given.

// The key a new category takes: the smallest key from 1 up that no category
// holds (keys 1, 2, 4 give 3; keys 2, 3 give 1).
int NextCategoryKey(const Database& db);
// Adds a category with the next key; returns the key.
int AddCategory(const Database& db, const QString& name);

// Puts a volume into a category; key 0 puts it directly under the catalog.
void CategorizeVolume(const Database& db, const QString& tablename, int categoryKey);

void RenameCatalog(const Database& db, const QString& name);
void RenameCategory(const Database& db, int categoryKey, const QString& name);
void RenameVolume(const Database& db, const QString& tablename, const QString& name);

// Removes a volume: its index row and both its tables.
void DeleteVolume(const Database& db, const QString& tablename);
// Removes a category and every volume in it.
void DeleteCategory(const Database& db, int categoryKey);
// Removes only the row of one folder or file; what a folder holds stays in
// the volume's tables, out of reach of the tree.
void DeleteFolderRow(const Database& db, const QString& tablename, const QString& parent,
                     const QString& name);
void DeleteFileRow(const Database& db, const QString& tablename, const QString& parent,
                   const QString& name);

// Sets a description, or removes it with nothing. Throws CatalogError when
// the volume, folder or file is not in the catalog.
void DescribeVolume(const Database& db, const QString& tablename,
                    const std::optional<QString>& description);
void DescribeFolder(const Database& db, const QString& tablename, const QString& parent,
                    const QString& name, const std::optional<QString>& description);
void DescribeFile(const Database& db, const QString& tablename, const QString& parent,
                  const QString& name, const std::optional<QString>& description);

} // namespace kestro
