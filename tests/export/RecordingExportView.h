#pragma once

#include "export/ExportRun.h"

#include <QStringList>
#include <functional>

namespace kestro::test {

// An ExportView that records what the export showed and can ask it to stop
// when it lets events run.
class RecordingExportView : public ExportView {
public:
    explicit RecordingExportView(SearchState& state) : state_(state) {}

    QStringList captions, messages;
    std::vector<bool> busy;
    int yields = 0;
    std::function<bool(const RecordingExportView&)> stopWhen;

    void setCaption(const QString& caption) override { captions << caption; }
    void setBusy(bool b) override { busy.push_back(b); }
    void yieldEvents(int times) override {
        yields += times;
        if (stopWhen && stopWhen(*this))
            state_.requestAbort();
    }
    void message(const QString& text) override { messages << text; }

private:
    SearchState& state_;
};

} // namespace kestro::test
