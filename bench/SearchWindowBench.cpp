// Times the find tool over a catalog: for each name, from the click on
// "&Find Now" to the first rows drawn in the result list, to the first 1,000,
// and to the end of the search with every row in the list; and the longest
// time the window went without handling its events meanwhile. Every figure
// is the median of three runs. Then, with "Search as You Type?" on, the time
// from each keystroke of TYPED to its search's end, typed at a typist's pace. Built and run by
// bench/search-bench.sh and bench/name-index-bench.sh, which make the catalog.
//
//   bench_search_window CATALOG PROGRAM-FOLDER [--typed TYPED] [NAME ...]

#include "BenchFigures.h"
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
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdio>

using namespace kestro;
using namespace kestro::bench;

namespace {

constexpr int kRuns = 3;

// Watches one search: when the list is first drawn with rows in it, when
// it first holds 1,000 rows (the rows below the first screen are not drawn,
// but the scroll bar takes them in), and the longest stretch without a turn
// of the event loop.
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
        thousandRowsMs_ = -1;
        longestGapMs_ = 0;
    }
    double firstRowsMs() const { return firstRowsMs_; }
    double thousandRowsMs() const { return thousandRowsMs_; }
    double longestGapMs() const { return longestGapMs_; }
    double elapsedMs() const { return double(clock_.nsecsElapsed()) / 1e6; }
    void noteRows() {
        if (thousandRowsMs_ < 0 && list_.model()->rowCount() >= 1000)
            thousandRowsMs_ = elapsedMs();
    }

protected:
    // The first rows drawn while the search runs, or at the first drawing
    // after it (a search over before the list is drawn).
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painting_ && firstRowsMs_ < 0 &&
            list_.model()->rowCount() > 0) {
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
        noteRows();
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
    double thousandRowsMs_ = -1;
    double longestGapMs_ = 0;
    bool painting_ = false;
};

QString msText(const std::vector<double>& values) {
    const double value = median(values);
    return value < 0 ? QStringLiteral("-") : QString::number(value, 'f', 1);
}

void timeSearch(SearchWindow& window, const QString& name) {
    auto& list = *window.findChild<QTreeView*>(QStringLiteral("ListView1"));
    auto& findB = *window.findChild<QPushButton*>(QStringLiteral("findB"));
    window.findChild<QLineEdit*>(QStringLiteral("Input1"))->setText(name);
    std::vector<double> first, thousand, complete, gap;
    for (int run = 0; run < kRuns; ++run) {
        SearchWatch watch(window, list);
        watch.start();
        findB.click();
        complete.push_back(watch.elapsedMs());
        watch.noteRows();
        list.viewport()->repaint();
        first.push_back(watch.firstRowsMs());
        thousand.push_back(watch.thousandRowsMs());
        gap.push_back(watch.longestGapMs());
    }
    std::printf("%-24s %10d %13s %13s %12.1f %14.1f\n", qPrintable("\"" + name + "\""),
                window.results().rowCount(), qPrintable(msText(first)),
                qPrintable(msText(thousand)), median(complete), median(gap));
}

// A brisk typist's pace, 80 words a minute: this long from one key to the
// next, while the window handles its events.
constexpr int kTypingGapMs = 150;

// Types `text` into "Named:" key by key with "Search as You Type?" on; each
// keystroke's search runs inside its key event, which is timed.
void timeTyping(SearchWindow& window, ProgramState& program, const QString& text) {
    Options options = program.options();
    options.oSearchAsYouType = 1;
    program.setOptions(options);
    auto* named = window.findChild<QLineEdit*>(QStringLiteral("Input1"));
    named->clear();
    std::printf("typing \"%s\" with Search as You Type, a key every %d ms:", qPrintable(text),
                kTypingGapMs);
    for (const QChar key : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(key));
        QElapsedTimer clock;
        clock.start();
        QCoreApplication::sendEvent(named, &press);
        std::printf(" \"%s\" %.1f ms (%d rows);", qPrintable(named->text()),
                    double(clock.nsecsElapsed()) / 1e6, window.results().rowCount());
        QEventLoop typist;
        QTimer::singleShot(kTypingGapMs, &typist, &QEventLoop::quit);
        typist.exec();
    }
    std::printf("\n");
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

    QStringList names = args.mid(3);
    QString typed;
    if (names.size() >= 2 && names[0] == QLatin1String("--typed")) {
        typed = names[1];
        names = names.mid(2);
    }
    if (names.isEmpty())
        names = QStringList({"report", "*.mp3", "IMG_00*", "Müller", "nothing-like-it"});
    std::printf("%-24s %10s %13s %13s %12s %14s\n", "name (all volumes)", "results",
                "first rows ms", "1,000 rows ms", "all rows ms", "longest gap ms");
    for (const QString& name : names)
        timeSearch(*window, name);
    if (!typed.isEmpty())
        timeTyping(*window, services.state(), typed);
    window->close();
    return 0;
}
