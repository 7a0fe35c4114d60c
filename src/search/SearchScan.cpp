#include "search/SearchScan.h"

#include "catalog/CatalogError.h"
#include "catalog/DisplayRules.h"
#include "search/FileTypeMemo.h"

#include <utility>

namespace kestro {

namespace {

// The interface is served after every this many rows.
constexpr int kRowsBetweenYields = 26;

QString searchingText(TableKind kind, const QString& volume) {
    return (kind == TableKind::Folders ? QStringLiteral("Searching for folders in volume: ")
                                       : QStringLiteral("Searching for files in volume: ")) +
           volume;
}

QString textOf(const Statement& row, int column) {
    return row.isNull(column) ? QString() : row.text(column);
}

} // namespace

// One search's reading of the catalog. Rows come folder by folder, so the
// location of a row is most often the one before: it is shared, not copied.
struct SearchScan::Scan {
    const Database& db;
    std::vector<CatalogVolume> volumes;
    const SearchCondition& condition;
    bool europeanDates;
    FileTypeMemo fileTypes;
    std::string lastLocationUtf8 = {};
    QString lastLocation = {};

    SearchResult resultOf(const Statement& row, TableKind kind, const CatalogVolume& volume) {
        SearchResult result;
        result.kind = kind;
        result.name = textOf(row, SearchCondition::Name);
        if (kind == TableKind::Folders) {
            result.type = kFolderTypeName;
            result.iconKey = kFolderIconKey;
        } else {
            const FileTypeMemo::FileType& type = fileTypes.of(row.utf8(SearchCondition::Name));
            result.type = type.name;
            result.iconKey = type.iconKey;
        }
        result.volume = volume.name;
        result.tablename = volume.tablename;
        const std::string_view location = row.utf8(SearchCondition::Parent);
        if (location != lastLocationUtf8 ||
            lastLocation.isNull() != row.isNull(SearchCondition::Parent)) {
            lastLocationUtf8 = location;
            lastLocation = textOf(row, SearchCondition::Parent);
        }
        result.location = lastLocation;
        result.size = textOf(row, SearchCondition::Size);
        result.date = textOf(row, SearchCondition::Date);
        result.modified = DisplayDateText(result.date, europeanDates);
        result.description = textOf(row, SearchCondition::Description);
        return result;
    }
};

QString SearchTotalsText(const SearchOutcome& outcome) {
    const QString ending = [&] {
        switch (outcome.result) {
        case SearchOutcome::Result::Aborted:
            return QStringLiteral(" files found -- Search ABORTED by user");
        case SearchOutcome::Result::Failed:
            return QStringLiteral(" files found -- Search FAILED");
        case SearchOutcome::Result::Completed:
        case SearchOutcome::Result::Refused:
            break;
        }
        return QStringLiteral(" files found -- Search Completed Successfully");
    }();
    return CountText(outcome.foldersFound).trimmed() + QStringLiteral(" folders / ") +
           CountText(outcome.filesFound).trimmed() + ending;
}

SearchScan::SearchScan(Catalog catalog, const FileTypes& fileTypes, SearchState& state,
                       SearchView& view)
    : catalog_(std::move(catalog)), fileTypes_(fileTypes), state_(state), view_(view) {}

SearchOutcome SearchScan::run(const SearchRequest& request) {
    SearchOutcome outcome;
    state_.clearAbortRequest();
    view_.clearResults();
    if (!request.searchFiles && !request.searchFolders) {
        view_.message(kNoTableKindMessage);
        outcome.result = SearchOutcome::Result::Refused;
        return outcome;
    }
    const SearchScope scope = ScopeOf(request.searchFiles, request.searchFolders);
    const SearchCondition condition = SearchCondition::fromCriteria(request.criteria);
    state_.setLastSearch({condition, scope, request.volumes});

    view_.setBusy(true);
    view_.yieldEvents(10);
    try {
        const Database db = catalog_.open();
        Scan scan{db, request.volumes.resolve(db), condition, request.criteria.europeanDates,
                  FileTypeMemo(fileTypes_)};
        for (const TableKind kind : TableKindsOf(scope))
            if (!scanKind(scan, kind, outcome))
                break;
    } catch (const CatalogError& e) {
        view_.message(e.message());
        outcome.result = SearchOutcome::Result::Failed;
    }
    view_.setBusy(false);
    if (outcome.result != SearchOutcome::Result::Failed && state_.abortRequested())
        outcome.result = SearchOutcome::Result::Aborted;
    view_.setStatus(SearchTotalsText(outcome));
    return outcome;
}

bool SearchScan::scanKind(Scan& scan, TableKind kind, SearchOutcome& outcome) {
    qint64& found = kind == TableKind::Folders ? outcome.foldersFound : outcome.filesFound;
    std::vector<SearchResult> batch;
    batch.reserve(kRowsBetweenYields);
    const auto deliver = [&] {
        if (batch.empty())
            return;
        found += qint64(batch.size());
        view_.addResults(std::exchange(batch, {}));
        batch.reserve(kRowsBetweenYields);
    };

    for (const CatalogVolume& volume : scan.volumes) {
        view_.setStatus(searchingText(kind, volume.name));
        view_.yieldEvents(10);
        if (state_.abortRequested())
            return false;
        const QString table = VolumeTable(volume.tablename, kind);
        if (!scan.db.hasTable(table))
            continue;
        Statement rows = scan.condition.select(scan.db, table);
        view_.yieldEvents(10);
        int rowsSinceYield = 0;
        while (rows.next()) {
            if (++rowsSinceYield == kRowsBetweenYields) {
                rowsSinceYield = 0;
                deliver();
                view_.yieldEvents(1);
            }
            batch.push_back(scan.resultOf(rows, kind, volume));
            if (state_.abortRequested())
                break;
        }
        deliver();
        if (state_.abortRequested())
            return false;
    }
    return true;
}

} // namespace kestro
