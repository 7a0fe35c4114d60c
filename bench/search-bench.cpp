// Times searches or an export over a catalog: for each search, the time to
// the first batch of results and to the last, and the number of results; for
// the export, its time and the bytes written. Every figure is the median of
// three runs, with the processor time beside the wall time. Built and run by bench/search-bench.sh,
// which makes the catalogs.
//
//   search-bench search CATALOG PROGRAM-FOLDER [NAME-PATTERN]
//   search-bench export CATALOG PROGRAM-FOLDER VOLUME OUT-FOLDER

#include "BenchFigures.h"
#include "catalog/Catalog.h"
#include "catalog/CatalogError.h"
#include "export/ExportRun.h"
#include "platform/FileTypes.h"
#include "search/SearchScan.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <deque>

using namespace kestro;
using namespace kestro::bench;

namespace {

constexpr int kRuns = 3;

// Keeps every row, as the window's model does: in a deque, which grows
// without moving what it holds.
class KeepingView : public SearchView, public ExportView {
public:
    QElapsedTimer clock;
    qint64 firstRowsNs = -1;
    std::deque<SearchResult> rows;

    void clearResults() override { rows.clear(); }
    void addResults(std::vector<SearchResult> batch) override {
        if (firstRowsNs < 0)
            firstRowsNs = clock.nsecsElapsed();
        rows.insert(rows.end(), std::make_move_iterator(batch.begin()),
                    std::make_move_iterator(batch.end()));
    }
    void setBusy(bool) override {}
    void setStatus(const QString&) override {}
    void setCaption(const QString&) override {}
    void yieldEvents(int) override {}
    void message(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
};

void timeSearch(const Catalog& catalog, const FileTypes& types, const char* label,
                const SearchCriteria& criteria) {
    std::vector<double> first, complete, cpu;
    size_t found = 0;
    for (int run = 0; run < kRuns; ++run) {
        SearchState state;
        KeepingView view;
        SearchRequest request;
        request.criteria = criteria;
        const double cpuBefore = cpuSeconds();
        view.clock.start();
        SearchScan(catalog, types, state, view).run(request);
        complete.push_back(double(view.clock.nsecsElapsed()) / 1e9);
        cpu.push_back(cpuSeconds() - cpuBefore);
        first.push_back(view.firstRowsNs < 0 ? 0 : double(view.firstRowsNs) / 1e9);
        found = view.rows.size();
    }
    std::printf("%-34s %10zu %10.3f %10.3f %10.3f\n", label, found, median(first), median(complete),
                median(cpu));
}

void timeExport(const Catalog& catalog, const FileTypes& types, const QString& volume,
                const QString& folder) {
    const Database db = catalog.open();
    QStringList unknown;
    ExportRequest request;
    request.folder = folder;
    request.volumes = {false, VolumesNamed(db, {volume}, unknown)};
    std::vector<double> seconds, cpu;
    qint64 bytes = 0;
    for (int run = 0; run < kRuns; ++run) {
        SearchState state;
        KeepingView view;
        QElapsedTimer clock;
        const double cpuBefore = cpuSeconds();
        clock.start();
        const ExportOutcome outcome = ExportRun(catalog, types, state, view).run(request);
        seconds.push_back(double(clock.nsecsElapsed()) / 1e9);
        cpu.push_back(cpuSeconds() - cpuBefore);
        bytes = outcome.files.isEmpty() ? 0 : QFileInfo(outcome.files[0]).size();
    }
    std::printf("export of \"%s\" to CSV, all fields: %.1f MB in %.3f s (cpu %.3f s)\n",
                qPrintable(volume), double(bytes) / 1e6, median(seconds), median(cpu));
}

void timeSearches(const Catalog& catalog, const FileTypes& types) {
    std::printf("%-34s %10s %10s %10s %10s\n", "search (all volumes, both kinds)", "results",
                "first s", "all s", "cpu s");
    const auto named = [](const char* text) {
        SearchCriteria criteria;
        criteria.named = QString::fromUtf8(text);
        return criteria;
    };
    timeSearch(catalog, types, "name \"report\"", named("report"));
    timeSearch(catalog, types, "name \"*.mp3\"", named("*.mp3"));
    timeSearch(catalog, types, "name \"IMG_00*\"", named("IMG_00*"));
    timeSearch(catalog, types, "name \"Müller\"", named("Müller"));
    timeSearch(catalog, types, "name \"nothing-like-it\"", named("nothing-like-it"));
    SearchCriteria dates;
    dates.between = true;
    dates.firstDate = "1/1/2000";
    dates.secondDate = "12/31/2000";
    timeSearch(catalog, types, "modified in 2000", dates);
    SearchCriteria sizes;
    sizes.sizeComparison = "at least";
    sizes.sizeKilobytes = "5000";
    timeSearch(catalog, types, "size at least 5,000KB", sizes);
    timeSearch(catalog, types, "name \"*\" (every row)", named("*"));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool search = (args.size() == 4 || args.size() == 5) && args[1] == "search";
    const bool exporting = args.size() == 6 && args[1] == "export";
    if (!search && !exporting) {
        std::fprintf(stderr, "usage: search-bench search CATALOG PROGRAM-FOLDER [NAME-PATTERN]\n"
                             "       search-bench export CATALOG PROGRAM-FOLDER VOLUME OUT\n");
        return 2;
    }
    const Catalog catalog(args[2], OpenMode::SharedReadWrite);
    const FileTypes types(IconCacheFolderOf(args[3]));
    try {
        if (search && args.size() == 5) {
            SearchCriteria criteria;
            criteria.named = args[4];
            timeSearch(catalog, types, qPrintable("name \"" + args[4] + "\""), criteria);
        } else if (search) {
            timeSearches(catalog, types);
        } else
            timeExport(catalog, types, args[4], args[5]);
    } catch (const CatalogError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
