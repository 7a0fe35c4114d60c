#include "cataloguing/ImportingWalk.h"

namespace kestro {

namespace {

// Short enough that the end of a walk is taken up at once.
constexpr int kWalkPollMs = 20;
// Lines imported between two looks at the walk: a few milliseconds' work.
constexpr qint64 kLinesPerLook = 2048;

// The import's progress while the walk goes on: the walk's counters are
// shown, not the import's share of a listing whose size is not known yet.
class WalkPhaseProgress : public ImportProgress {
public:
    explicit WalkPhaseProgress(CatalogRunView& view) : view_(view) {}

    void setTitle(const QString&) override {}
    void setStatus(const QString&) override {}
    void setProgressRange(qint64) override {}
    void setProgressValue(qint64) override {}
    void yieldEvents(int times) override { view_.yieldEvents(times); }
    bool abortRequested() const override { return view_.abortRequested(); }

private:
    CatalogRunView& view_;
};

} // namespace

ListingResult WalkImportingFiles(const ListingRequest& request, unsigned threads,
                                 FileListingImport& files, CatalogRunView& view) {
    WalkPhaseProgress progress(view);
    ListingWriter writer(request, threads);
    while (!writer.isFinished()) {
        view.showWalkProgress(writer.counters().folders, writer.counters().files);
        if (view.abortRequested())
            writer.cancel();
        else if (files.importWritten(progress, kLinesPerLook) > 0)
            continue;
        view.waitForEvents(kWalkPollMs);
    }
    const ListingResult result = writer.wait();
    view.showWalkProgress(result.folders, result.files);
    return result;
}

} // namespace kestro
