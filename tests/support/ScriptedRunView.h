#pragma once

#include "cataloguing/CatalogRunView.h"

#include <QStringList>
#include <functional>

namespace kestro::test {

// A CatalogRunView that answers the volume-name prompt from a script, records
// everything the run showed, and can ask to stop at a chosen moment.
class ScriptedRunView : public CatalogRunView {
public:
    std::optional<QString> volumeName = QStringLiteral("Test Volume"); // nothing: Cancel
    // Asked after every step the run reports; true asks the run to stop.
    std::function<bool(const ScriptedRunView&)> stopWhen;

    QStringList statuses, messages, prompts;
    QStringList highlightedStatuses; // shown while the status line was highlighted
    bool busy = false, catalogEnabled = true, refreshed = false;
    bool waitCursor = false, waitCursorShown = false;
    quint64 walkFolders = 0, walkFiles = 0;
    int yields = 0;
    bool stopRequested = false;

    void setTitle(const QString&) override {}
    void setStatus(const QString& text) override {
        statuses << text;
        if (highlighted_)
            highlightedStatuses << text;
        check();
    }
    void setProgressRange(qint64) override {}
    void setProgressValue(qint64) override {}
    void yieldEvents(int times) override {
        yields += times;
        check();
    }
    bool abortRequested() const override { return stopRequested; }
    void setCatalogEnabled(bool enabled) override { catalogEnabled = enabled; }
    void setBusy(bool b) override { busy = b; }
    void setStatusHighlighted(bool highlighted) override { highlighted_ = highlighted; }
    void setWaitCursor(bool on) override {
        waitCursor = on;
        waitCursorShown |= on;
    }
    void showWalkProgress(quint64 folders, quint64 files) override {
        walkFolders = folders;
        walkFiles = files;
        check();
    }
    void waitForEvents(int) override { check(); }
    void message(const QString& text) override { messages << text; }
    std::optional<QString> askVolumeName(const QString& prompt, const QString&,
                                         const QString&) override {
        prompts << prompt;
        return volumeName;
    }
    void refreshViews() override { refreshed = true; }
    void runFinished(bool) override {}
    void clearAbortRequest() override { stopRequested = false; }

private:
    bool highlighted_ = false;

    void check() {
        if (stopWhen && !stopRequested && stopWhen(*this))
            stopRequested = true;
    }
};

} // namespace kestro::test
