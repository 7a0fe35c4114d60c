#pragma once

#include "search/SearchResult.h"

#include <QString>
#include <vector>

namespace kestro {

// Everything a search shows: the search window implements it (kestro-cli and
// the tests too); the search itself never touches a widget.
class SearchView {
public:
    virtual ~SearchView() = default;

    // A new search begins: the result list is emptied.
    virtual void clearResults() = 0;
    // Rows found, in the order found, to be appended to the result list. They
    // come in small batches, each just before the search lets events run, so
    // the list grows while the search goes on.
    virtual void addResults(std::vector<SearchResult> rows) = 0;
    // While busy: "&Find Now" and "&Export" disabled, "&Stop" enabled, the
    // busy pointer on the search and main windows.
    virtual void setBusy(bool busy) = 0;
    // The status bar's text.
    virtual void setStatus(const QString& text) = 0;
    // Lets pending user-interface events run `times` times; this is when a
    // click on "&Stop" gets through. Called every 26 rows: keep it cheap.
    virtual void yieldEvents(int times) = 0;
    // A notice the user acknowledges.
    virtual void message(const QString& text) = 0;
};

} // namespace kestro
