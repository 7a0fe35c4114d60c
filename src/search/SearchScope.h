#pragma once

#include <QString>
#include <vector>

namespace kestro {

// The two tables of a volume: its folders and its files.
enum class TableKind { Folders, Files };

// Which tables a search covered (LastSearchScope): its values are the ones
// the program has always used, 0 both, 1 folders only, 2 files only.
enum class SearchScope { Both = 0, Folders = 1, Files = 2 };

// The scope of a search of files, folders or both; at least one is wanted.
SearchScope ScopeOf(bool files, bool folders);

// The table kinds a scope covers, in the order they are read: folders first.
std::vector<TableKind> TableKindsOf(SearchScope scope);

// A volume's table of the kind: tablename + "_dirs" or "_files".
QString VolumeTable(const QString& tablename, TableKind kind);

} // namespace kestro
