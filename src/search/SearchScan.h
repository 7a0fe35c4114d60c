#pragma once

#include "catalog/Catalog.h"
#include "search/CatalogVolumes.h"
#include "search/SearchCriteria.h"
#include "search/SearchState.h"
#include "search/SearchView.h"

#include <QString>
#include <deque>

namespace kestro {

class FileTypes;

// What "&Find Now" is given: the criteria, the table kinds and the volumes.
struct SearchRequest {
    SearchCriteria criteria;
    bool searchFiles = true;   // "Search File Names"
    bool searchFolders = true; // "Search Folder Names"
    VolumeSelection volumes;   // "Look in:"

    bool operator==(const SearchRequest&) const = default;
};

// Whether every row `later` can find is among the rows `earlier` finds, the
// catalog unchanged: the same search but for a name typed longer, both names
// without wildcards (looked for anywhere in a name) and the earlier one held
// in the later one, letter case ignored as the match ignores it.
bool NarrowsSearch(const SearchRequest& earlier, const SearchRequest& later);

// How a search ended, with its counters (FoldersFound, FilesFound).
struct SearchOutcome {
    enum class Result {
        Completed, // every volume in scope was searched
        Aborted,   // "&Stop" ended it
        Refused,   // neither files nor folders were asked for; nothing changed
        Failed,    // the catalog could not be read; the user has been told why
    };
    Result result = Result::Completed;
    qint64 foldersFound = 0;
    qint64 filesFound = 0;
};

// The message shown when neither files nor folders are to be searched.
inline const QString kNoTableKindMessage =
    QStringLiteral("Must select file, folders or both in the Advanced tab...");

// The status bar's text when a search has ended:
// "1,234 folders / 0 files found -- Search Completed Successfully".
QString SearchTotalsText(const SearchOutcome& outcome);

// The search of "&Find Now": builds the condition of the criteria, leaves it
// and the scope in the shared state as the last search, and reads the folder
// table and then the file table of every volume in scope, in list order,
// handing the rows found to the view as they come. A volume whose tables are
// missing gives nothing and the search goes on. "&Stop" (the shared state's
// abort request) ends the search after the current row, or after the status
// of the next volume; the scan of the other table kind then ends too.
//
// A name pattern the name index can narrow (NameNeedleOf) is looked up there
// rather than read from every row; the condition still judges each row the
// index names, so the rows found are the same, in the same order. A table
// the index does not cover yet is indexed first when the catalog can be
// written ("Building the name index of volume: ..."), else read whole.
class SearchScan {
public:
    SearchScan(Catalog catalog, const FileTypes& fileTypes, SearchState& state, SearchView& view);
    // For a view that shows no file types: the rows of files carry neither
    // type nor icon key, and the desktop's file-type registry, which takes
    // longer to read than a search of millions of names, is not needed.
    SearchScan(Catalog catalog, SearchState& state, SearchView& view);

    SearchOutcome run(const SearchRequest& request);
    // The same search, without reading the catalog, for a request that
    // narrows (NarrowsSearch) an earlier one that completed over the catalog
    // as it still is: its rows, in the order found, are judged again by the
    // new name, and those it finds are moved out of `earlierRows`. This is
    // how a name typed one letter longer is searched at once.
    SearchOutcome narrow(const SearchRequest& request, std::deque<SearchResult>& earlierRows);

private:
    struct Scan;

    // What run() and narrow() share: the shared state's last search, the
    // view busy meanwhile and the totals at the end around `find`, which
    // hands its rows to the view.
    template <typename Find> SearchOutcome search(const SearchRequest& request, Find find);

    // Scans one table kind of every volume; false when the search is to end.
    bool scanKind(Scan& scan, TableKind kind, SearchOutcome& outcome);
    // Puts a table's names into the name index, when the catalog can be
    // written; false when the user stopped it.
    bool indexNames(Scan& scan, const QString& table, const QString& volume);

    Catalog catalog_;
    const FileTypes* fileTypes_;
    SearchState& state_;
    SearchView& view_;
};

} // namespace kestro
