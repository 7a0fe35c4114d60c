#pragma once

#include "export/ExportRun.h"
#include "search/SearchView.h"

#include <QStringList>
#include <functional>

namespace kestro::test {

// A search or export view that records what it was shown and can press
// "&Stop" whenever it lets events run.
class RecordingView : public SearchView, public ExportView {
public:
    explicit RecordingView(SearchState& state) : state_(state) {}

    std::vector<SearchResult> results;
    std::vector<size_t> batchSizes;
    QStringList statuses, captions, messages;
    std::vector<bool> busy;
    int yields = 0;
    std::function<bool(const RecordingView&)> stopWhen; // asked at every yield

    void clearResults() override { results.clear(); }
    void addResults(std::vector<SearchResult> rows) override {
        batchSizes.push_back(rows.size());
        results.insert(results.end(), rows.begin(), rows.end());
    }
    void setBusy(bool b) override { busy.push_back(b); }
    void setStatus(const QString& text) override { statuses << text; }
    void setCaption(const QString& caption) override { captions << caption; }
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
