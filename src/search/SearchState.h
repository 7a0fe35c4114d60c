#pragma once

#include "search/CatalogVolumes.h"
#include "search/SearchCondition.h"
#include "search/SearchScope.h"

#include <atomic>

namespace kestro {

// What the last search leaves for the export of its results.
struct LastSearch {
    SearchCondition condition;             // LastSearchCondition
    SearchScope scope = SearchScope::Both; // LastSearchScope
    VolumeSelection volumes;               // the volumes it looked in
};

// The state the main window, the search window and the export dialog share for
// as long as the program runs: the request to stop (AbortRequested), which
// "&Stop" sets and every search and export clears when it starts, and the last
// search. requestAbort() may be called from a signal handler.
class SearchState {
public:
    void requestAbort() { abortRequested_.store(true, std::memory_order_relaxed); }
    void clearAbortRequest() { abortRequested_.store(false, std::memory_order_relaxed); }
    bool abortRequested() const { return abortRequested_.load(std::memory_order_relaxed); }

    // Before any search: every row of every volume, folders and files.
    const LastSearch& lastSearch() const { return lastSearch_; }
    void setLastSearch(LastSearch search) { lastSearch_ = std::move(search); }

private:
    std::atomic<bool> abortRequested_{false};
    LastSearch lastSearch_;
};

} // namespace kestro
