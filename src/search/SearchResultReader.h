#pragma once

#include "catalog/Statement.h"
#include "search/CatalogVolumes.h"
#include "search/FileTypeMemo.h"
#include "search/SearchResult.h"

#include <optional>
#include <string>

namespace kestro {

// Makes the results of the rows SearchCondition::select() gives. Rows come
// folder by folder, so the location of a row is most often the one before:
// it is shared, not copied.
class SearchResultReader {
public:
    // Without file types, the results of files carry neither type nor icon
    // key: the desktop's file-type registry is not read.
    SearchResultReader(bool europeanDates, const FileTypes* fileTypes);

    SearchResult read(const Statement& row, TableKind kind, const CatalogVolume& volume);

private:
    bool europeanDates_;
    std::optional<FileTypeMemo> fileTypes_;
    std::string lastLocationUtf8_;
    QString lastLocation_;
};

} // namespace kestro
