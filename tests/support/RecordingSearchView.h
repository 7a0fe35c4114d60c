#pragma once

#include "search/SearchState.h"
#include "search/SearchView.h"

#include <QStringList>
#include <functional>

namespace kestro::test {

// A SearchView that records what the search showed and can press "&Stop" when
// it lets events run.
class RecordingSearchView : public SearchView {
public:
    explicit RecordingSearchView(SearchState& state) : state_(state) {}

    std::vector<SearchResult> results;
    std::vector<size_t> batchSizes;
    QStringList statuses, messages;
    std::vector<bool> busy;
    int clears = 0;
    int yields = 0;
    // Asked at every yield; true presses "&Stop".
    std::function<bool(const RecordingSearchView&)> stopWhen;

    void clearResults() override {
        ++clears;
        results.clear();
    }
    void addResults(std::vector<SearchResult> rows) override {
        batchSizes.push_back(rows.size());
        for (SearchResult& row : rows)
            results.push_back(std::move(row));
    }
    void setBusy(bool b) override { busy.push_back(b); }
    void setStatus(const QString& text) override { statuses << text; }
    void yieldEvents(int times) override {
        yields += times;
        if (stopWhen && stopWhen(*this))
            state_.requestAbort();
    }
    void message(const QString& text) override { messages << text; }

    QStringList names() const {
        QStringList list;
        for (const SearchResult& r : results)
            list << r.name;
        return list;
    }

private:
    SearchState& state_;
};

} // namespace kestro::test
