#include "search/SearchResultReader.h"

#include "catalog/DisplayRules.h"
#include "search/SearchCondition.h"

namespace kestro {

namespace {

QString textOf(const Statement& row, int column) {
    return row.isNull(column) ? QString() : row.text(column);
}

} // namespace

SearchResultReader::SearchResultReader(bool europeanDates, const FileTypes* fileTypes)
    : europeanDates_(europeanDates) {
    if (fileTypes)
        fileTypes_.emplace(*fileTypes);
}

SearchResult SearchResultReader::read(const Statement& row, TableKind kind,
                                      const CatalogVolume& volume) {
    SearchResult result;
    result.kind = kind;
    result.name = textOf(row, SearchCondition::Name);
    if (kind == TableKind::Folders) {
        result.type = kFolderTypeName;
        result.iconKey = kFolderIconKey;
    } else if (fileTypes_) {
        const FileTypeMemo::FileType& type = fileTypes_->of(row.utf8(SearchCondition::Name));
        result.type = type.name;
        result.iconKey = type.iconKey;
    }
    result.volume = volume.name;
    result.tablename = volume.tablename;
    const std::string_view location = row.utf8(SearchCondition::Parent);
    if (location != lastLocationUtf8_ ||
        lastLocation_.isNull() != row.isNull(SearchCondition::Parent)) {
        lastLocationUtf8_ = location;
        lastLocation_ = textOf(row, SearchCondition::Parent);
    }
    result.location = lastLocation_;
    result.size = textOf(row, SearchCondition::Size);
    result.date = textOf(row, SearchCondition::Date);
    result.modified = DisplayDateText(result.date, europeanDates_);
    result.description = textOf(row, SearchCondition::Description);
    return result;
}

} // namespace kestro
