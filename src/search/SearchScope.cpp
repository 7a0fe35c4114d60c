#include "search/SearchScope.h"

#include "catalog/Schema.h"

namespace kestro {

SearchScope ScopeOf(bool files, bool folders) {
    if (files && folders)
        return SearchScope::Both;
    return folders ? SearchScope::Folders : SearchScope::Files;
}

std::vector<TableKind> TableKindsOf(SearchScope scope) {
    switch (scope) {
    case SearchScope::Folders:
        return {TableKind::Folders};
    case SearchScope::Files:
        return {TableKind::Files};
    case SearchScope::Both:
        break;
    }
    return {TableKind::Folders, TableKind::Files};
}

QString VolumeTable(const QString& tablename, TableKind kind) {
    return kind == TableKind::Folders ? schema::dirsTable(tablename)
                                      : schema::filesTable(tablename);
}

} // namespace kestro
