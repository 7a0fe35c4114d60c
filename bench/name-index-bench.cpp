// Times name searches over a catalog in the library, and the building of its
// name index. Built and run by bench/name-index-bench.sh, which makes the
// catalogs and times the command-line program beside plocate.
//
//   name-index-bench search CATALOG PATTERN...
//       for each pattern: the rows found, the time to the first 1,000 rows
//       and to the last, and the processor time; medians of five runs. A
//       catalog with the name index is looked up; one without it, opened
//       read-only, is read whole.
//   name-index-bench index CATALOG
//       the time to build the name index of every volume afresh (median of
//       three), and the bytes of the file, of the index and of the volume
//       tables.

#include "BenchFigures.h"
#include "catalog/Catalog.h"
#include "catalog/CatalogError.h"
#include "catalog/NameIndex.h"
#include "search/SearchScan.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace kestro;
using namespace kestro::bench;

namespace {

constexpr int kSearchRuns = 5;
constexpr int kIndexRuns = 3;
constexpr size_t kFirstRows = 1000;

// Counts the rows and notes when the first 1,000 had come.
class TimingView : public SearchView {
public:
    QElapsedTimer clock;
    size_t rows = 0;
    qint64 firstRowsNs = -1;

    void clearResults() override {}
    void addResults(std::vector<SearchResult> batch) override {
        rows += batch.size();
        if (firstRowsNs < 0 && rows >= kFirstRows)
            firstRowsNs = clock.nsecsElapsed();
    }
    void setBusy(bool) override {}
    void setStatus(const QString&) override {}
    void yieldEvents(int) override {}
    void message(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
};

void timeSearch(const Catalog& catalog, const QString& pattern) {
    std::vector<double> first, complete, cpu;
    size_t found = 0;
    for (int run = 0; run < kSearchRuns; ++run) {
        SearchState state;
        TimingView view;
        SearchRequest request;
        request.criteria.named = pattern;
        const double cpuBefore = cpuSeconds();
        view.clock.start();
        SearchScan(catalog, state, view).run(request);
        complete.push_back(double(view.clock.nsecsElapsed()) / 1e6);
        cpu.push_back((cpuSeconds() - cpuBefore) * 1e3);
        first.push_back(double(view.firstRowsNs) / 1e6);
        found = view.rows;
    }
    const QString firstText =
        found < kFirstRows ? QStringLiteral("-") : QString::number(median(first), 'f', 1);
    std::printf("%-22s %10zu %12s %12.1f %10.1f\n", qPrintable("\"" + pattern + "\""), found,
                qPrintable(firstText), median(complete), median(cpu));
}

qint64 bytesOf(const Database& db, const std::string& where) {
    return std::get<qint64>(
        db.scalar("SELECT coalesce(sum(pgsize), 0) FROM dbstat WHERE " + where));
}

void timeIndex(const Catalog& catalog) {
    const Database db = catalog.open();
    std::vector<double> seconds;
    for (int run = 0; run < kIndexRuns; ++run) {
        QElapsedTimer clock;
        clock.start();
        IndexAllNames(db);
        seconds.push_back(double(clock.nsecsElapsed()) / 1e9);
    }
    const qint64 index = bytesOf(db, "name LIKE 'name\\_index\\_%' ESCAPE '\\'");
    const qint64 file = bytesOf(db, "1");
    std::printf("name index of every volume built in %.2f s; file %.1f MB, index %.1f MB "
                "(%.1f%% of the rest)\n",
                median(seconds), double(file) / 1e6, double(index) / 1e6,
                100.0 * double(index) / double(file - index));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3 || (args[1] != "search" && args[1] != "index")) {
        std::fprintf(stderr, "usage: name-index-bench search CATALOG PATTERN...\n"
                             "       name-index-bench index CATALOG\n");
        return 2;
    }
    try {
        if (args[1] == "index") {
            timeIndex(Catalog(args[2], OpenMode::SharedReadWrite));
            return 0;
        }
        // A catalog without the index is opened read-only: read whole, not indexed.
        const bool indexed = HasNameIndex(Catalog(args[2], OpenMode::SharedReadWrite).open());
        const Catalog catalog(args[2],
                              indexed ? OpenMode::SharedReadWrite : OpenMode::ExclusiveReadOnly);
        std::printf("%-22s %10s %12s %12s %10s\n", "pattern", "rows", "1,000 ms", "all ms",
                    "cpu ms");
        for (const QString& pattern : args.mid(3))
            timeSearch(catalog, pattern);
    } catch (const CatalogError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
