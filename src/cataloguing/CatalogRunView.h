#pragma once

#include "cataloguing/ImportProgress.h"

#include <QString>
#include <optional>

namespace kestro {

// Everything a cataloguing run shows and asks. The catalog dialog and
// kestro-cli implement it; the run itself never touches a widget.
class CatalogRunView : public ImportProgress {
public:
    // The "&Catalog" button: disabled while a run goes on.
    virtual void setCatalogEnabled(bool enabled) = 0;
    // While busy, the dialog's second button reads "&Abort" and stops the run.
    virtual void setBusy(bool busy) = 0;
    // The status line is highlighted while the volume is walked.
    virtual void setStatusHighlighted(bool highlighted) = 0;
    virtual void setWaitCursor(bool wait) = 0;
    // How many folders and files the walk has seen so far.
    virtual void showWalkProgress(quint64 folders, quint64 files) = 0;
    // Lets the user interface run for about this long while the run waits.
    virtual void waitForEvents(int milliseconds) = 0;

    // A notice the user acknowledges.
    virtual void message(const QString& text) = 0;
    // The name of a new volume; nothing when the user cancels.
    virtual std::optional<QString> askVolumeName(const QString& prompt, const QString& title,
                                                 const QString& defaultName) = 0;

    // The catalog changed: rebuild the tree and the list.
    virtual void refreshViews() = 0;
    // The run has ended, whatever its outcome: show the idle picture, and
    // play the completion cue when the volume was catalogued.
    virtual void runFinished(bool catalogued) = 0;
    // Forgets a request to stop, once the run has acted on it.
    virtual void clearAbortRequest() = 0;
};

} // namespace kestro
