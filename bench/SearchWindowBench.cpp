// Times the find tool over a catalog: for each name, from the click on
// "&Find Now" to the first rows drawn in the result list, and to the end of
// the search with every row in the list; and the longest time the window
// went without handling its events meanwhile. Every figure is the median of
// three runs. Built and run by bench/search-bench.sh, which makes the catalog.
//
//   bench_search_window CATALOG PROGRAM-FOLDER [NAME ...]

#include "browser/gui/Form1.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "platform/gui/IconTheme.h"
#include "search/gui/SearchResultsModel.h"
#include "search/gui/SearchWindow.h"
#include "settings/gui/DesktopServices.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <algorithm>
#include <cstdio>

using namespace kestro;

namespace {

constexpr int kRuns = 3;

// Watches one search: when the list is first drawn with rows in it, and
// the longest stretch without a turn of the event loop.
class SearchWatch : public QObject {
public:
    SearchWatch(SearchWindow& window, QTreeView& list) : window_(window), list_(list) {
        list_.viewport()->installEventFilter(this);
        startTimer(0);
    }

    void start() {
        clock_.start();
        lastTurnMs_ = 0;
        firstRowsMs_ = -1;
        longestGapMs_ = 0;
    }
    double firstRowsMs() const { return firstRowsMs_; }
    double longestGapMs() const { return longestGapMs_; }
    double elapsedMs() const { return double(clock_.nsecsElapsed()) / 1e6; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painting_ && firstRowsMs_ < 0 &&
            window_.isSearching() && list_.model()->rowCount() > 0) {
            painting_ = true; // drawn, then timed
            QCoreApplication::sendEvent(watched, event);
            painting_ = false;
            firstRowsMs_ = elapsedMs();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
    void timerEvent(QTimerEvent*) override {
        if (!window_.isSearching())
            return;
        const double now = elapsedMs();
        longestGapMs_ = std::max(longestGapMs_, now - lastTurnMs_);
        lastTurnMs_ = now;
    }

private:
    SearchWindow& window_;
    QTreeView& list_;
    QElapsedTimer clock_;
    double lastTurnMs_ = 0;
    double firstRowsMs_ = -1;
    double longestGapMs_ = 0;
    bool painting_ = false;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void timeSearch(SearchWindow& window, const QString& name) {
    auto& list = *window.findChild<QTreeView*>(QStringLiteral("ListView1"));
    auto& findB = *window.findChild<QPushButton*>(QStringLiteral("findB"));
    window.findChild<QLineEdit*>(QStringLiteral("Input1"))->setText(name);
    std::vector<double> first, complete, gap;
    for (int run = 0; run < kRuns; ++run) {
        SearchWatch watch(window, list);
        watch.start();
        findB.click();
        complete.push_back(watch.elapsedMs());
        first.push_back(watch.firstRowsMs());
        gap.push_back(watch.longestGapMs());
    }
    const QString firstText =
        first.front() < 0 ? QStringLiteral("-") : QString::number(median(first), 'f', 1);
    std::printf("%-24s %10d %13s %12.1f %14.1f\n", qPrintable("\"" + name + "\""),
                window.results().rowCount(), qPrintable(firstText), median(complete), median(gap));
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_search_window CATALOG PROGRAM-FOLDER [NAME ...]\n");
        return 2;
    }
    UseDesktopIconTheme();
    const QString catalogPath = QFileInfo(args[1]).absoluteFilePath();
    const QString folder = QFileInfo(args[2]).absoluteFilePath();
    IniFile settings(ProgramFolder::file(folder, ProgramFolder::kSettingsName));
    settings.setValue(QStringLiteral("Environment"), QStringLiteral("LastLoadedFile"), catalogPath);
    settings.setValue(QStringLiteral("Options"), QStringLiteral("oSounds"), QStringLiteral("0"));

    DesktopServices services(folder);
    Form1 main(services.state());
    if (!main.start())
        return 1;
    main.show();
    main.findChild<QAction*>(QStringLiteral("mnuSearch"))->trigger();
    SearchWindow* window = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* search = qobject_cast<SearchWindow*>(top))
            window = search;
    if (!window)
        return 1;
    QCoreApplication::processEvents();

    const QStringList names =
        args.size() > 3 ? args.mid(3)
                        : QStringList({"report", "*.mp3", "IMG_00*", "Müller", "nothing-like-it"});
    std::printf("%-24s %10s %12s %12s %12s\n", "name (all volumes)", "results", "first rows ms",
                "all rows ms", "longest gap ms");
    for (const QString& name : names)
        timeSearch(*window, name);
    window->close();
    return 0;
}
