#include "search/SearchScan.h"

#include "catalog/CatalogError.h"
#include "catalog/DisplayRules.h"
#include "catalog/NameCandidates.h"
#include "catalog/NameIndex.h"
#include "catalog/SqlFunctions.h"
#include "search/NameNeedle.h"
#include "search/SearchResultReader.h"

#include <optional>
#include <utility>

namespace kestro {

namespace {

// The interface is served after every this many rows.
constexpr int kRowsBetweenYields = 26;

// Rows judged again by a narrowed name between two turns of the interface:
// judging is quick, handing over and letting events run is not.
constexpr qint64 kRowsJudgedBetweenYields = 4096;

QString searchingText(TableKind kind, const QString& volume) {
    return (kind == TableKind::Folders ? QStringLiteral("Searching for folders in volume: ")
                                       : QStringLiteral("Searching for files in volume: ")) +
           volume;
}

// Candidates of the name index lying this close together (at least one in
// so many rows) are read as one run of rows rather than one by one.
constexpr qint64 kRunDensity = 8;

// Reads the rows of a block's candidates that meet the condition, handing
// each to `take`; false when `take` wants no more.
template <typename Take>
bool readCandidates(const SearchCondition& condition, Statement& rows,
                    std::span<const qint64> rowids, Take take) {
    const qint64 span = rowids.back() - rowids.front() + 1;
    if (qint64(rowids.size()) * kRunDensity >= span) {
        condition.bindRowids(rows, rowids.front(), rowids.back());
        bool more = true;
        while (more && rows.next())
            more = take(rows);
        rows.reset();
        return more;
    }
    for (const qint64 rowid : rowids) {
        condition.bindRowids(rows, rowid, rowid);
        const bool more = !rows.next() || take(rows);
        rows.reset();
        if (!more)
            return false;
    }
    return true;
}

bool hasWildcard(const QString& named) {
    return named.contains(QLatin1Char('*')) || named.contains(QLatin1Char('?'));
}

std::string foldedName(const QString& name) {
    std::string folded;
    appendFoldedName(name.toStdString(), folded);
    return folded;
}

} // namespace

bool NarrowsSearch(const SearchRequest& earlier, const SearchRequest& later) {
    const QString& before = earlier.criteria.named;
    const QString& after = later.criteria.named;
    if (before.isEmpty() || hasWildcard(before) || hasWildcard(after) ||
        foldedName(after).find(foldedName(before)) == std::string::npos)
        return false;
    SearchRequest widened = later;
    widened.criteria.named = before;
    return widened == earlier;
}

// One search's reading of the catalog.
struct SearchScan::Scan {
    const Database& db;
    std::vector<CatalogVolume> volumes;
    const SearchCondition& condition;
    SearchResultReader results;
    // What the name index can look up for the condition's name pattern, if
    // anything, and the index as the catalog holds it.
    std::optional<std::string> needle = {};
    std::optional<NameCandidates> candidates = {};

    bool useIndex(const QString& table) const { return needle && candidates->covers(table); }
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
    : catalog_(std::move(catalog)), fileTypes_(&fileTypes), state_(state), view_(view) {}

SearchScan::SearchScan(Catalog catalog, SearchState& state, SearchView& view)
    : catalog_(std::move(catalog)), fileTypes_(nullptr), state_(state), view_(view) {}

template <typename Find> SearchOutcome SearchScan::search(const SearchRequest& request, Find find) {
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
        find(condition, scope, outcome);
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

SearchOutcome SearchScan::run(const SearchRequest& request) {
    return search(request,
                  [&](const SearchCondition& condition, SearchScope scope, SearchOutcome& outcome) {
                      const Database db = catalog_.open();
                      // A server's read transaction serves the whole search,
                      // which then sees the catalog in one state; writers to
                      // a file wait while one lasts, and it is taken volume
                      // by volume.
                      std::optional<Database::ReadTransaction> reading;
                      if (db.isHosted())
                          reading.emplace(db);
                      Scan scan{db, request.volumes.resolve(db), condition,
                                SearchResultReader(request.criteria.europeanDates, fileTypes_)};
                      scan.needle = NameNeedleOf(condition.namePattern());
                      if (scan.needle)
                          scan.candidates.emplace(db);
                      for (const TableKind kind : TableKindsOf(scope))
                          if (!scanKind(scan, kind, outcome))
                              break;
                  });
}

SearchOutcome SearchScan::narrow(const SearchRequest& request,
                                 std::deque<SearchResult>& earlierRows) {
    return search(
        request, [&](const SearchCondition& condition, SearchScope, SearchOutcome& outcome) {
            const NameMatcher name(condition.namePattern());
            std::vector<SearchResult> found;
            qint64 judged = 0;
            for (SearchResult& row : earlierRows) {
                if (name.matches(row.name)) {
                    ++(row.kind == TableKind::Folders ? outcome.foldersFound : outcome.filesFound);
                    found.push_back(std::move(row));
                }
                if (++judged % kRowsJudgedBetweenYields == 0) {
                    view_.addResults(std::exchange(found, {}));
                    view_.yieldEvents(1);
                    if (state_.abortRequested())
                        return;
                }
            }
            view_.addResults(std::move(found));
        });
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
        // Neither a catalog held against writers nor a hosted one is indexed
        // here. A hosted catalog's server finds the names through its own
        // index (HostedNameIndex.h), and otherwise reads the table.
        if (scan.needle && !scan.useIndex(table) && scan.db.mode() == OpenMode::SharedReadWrite &&
            !scan.db.isHosted()) {
            if (!indexNames(scan, table, volume.name))
                return false;
            view_.setStatus(searchingText(kind, volume.name));
        }

        std::optional<Database::ReadTransaction> reading;
        if (!scan.db.isHosted())
            reading.emplace(scan.db);
        int rowsSinceYield = 0;
        // Takes a row found; false when the search is to end.
        const auto take = [&](const Statement& row) {
            if (++rowsSinceYield == kRowsBetweenYields) {
                rowsSinceYield = 0;
                deliver();
                view_.yieldEvents(1);
            }
            batch.push_back(scan.results.read(row, kind, volume));
            return !state_.abortRequested();
        };
        if (scan.useIndex(table)) {
            Statement rows = scan.condition.selectRowids(scan.db, table);
            view_.yieldEvents(10);
            scan.candidates->find(table, *scan.needle, [&](std::span<const qint64> rowids) {
                return readCandidates(scan.condition, rows, rowids, take);
            });
        } else {
            Statement rows = scan.condition.select(scan.db, table);
            view_.yieldEvents(10);
            while (rows.next() && take(rows)) {
            }
        }
        deliver();
        if (state_.abortRequested())
            return false;
    }
    return true;
}

bool SearchScan::indexNames(Scan& scan, const QString& table, const QString& volume) {
    view_.setStatus(QStringLiteral("Building the name index of volume: ") + volume);
    view_.yieldEvents(1);
    try {
        CreateNameIndex(scan.db);
        const bool built = IndexNamesOf(scan.db, table, [this] {
            view_.yieldEvents(1);
            return !state_.abortRequested();
        });
        scan.candidates.emplace(scan.db);
        return built;
    } catch (const CatalogError&) {
        return true; // the catalog is busy or full: this search reads the table
    }
}

} // namespace kestro
