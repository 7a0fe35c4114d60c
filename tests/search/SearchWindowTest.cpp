#include "search/gui/SearchWindow.h"

#include "browser/ProgramUnderTest.h"
#include "export/gui/FolderChooser.h"
#include "platform/IniFile.h"
#include "platform/gui/CatalogFileOpener.h"
#include "search/SearchScan.h"
#include "search/gui/SearchResultsModel.h"
#include "support/CatalogBuilder.h"
#include "support/CutTexts.h"
#include "support/FileTree.h"
#include "support/ModalDialog.h"
#include "support/NamedControl.h"
#include "support/TestSupport.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>
#include <QtTest>
#include <memory>

using namespace kestro;
using kestro::test::child;
using kestro::test::entries;
using kestro::test::ProgramUnderTest;

namespace {

// The find tool of a started program, opened by the Search command.
SearchWindow& openSearch(ProgramUnderTest& program) {
    program.window().findChild<QAction*>("mnuSearch")->trigger();
    auto* search = qobject_cast<SearchWindow*>(test::shownWindow("fSearch"));
    if (!search || !QTest::qWaitForWindowExposed(search))
        throw std::runtime_error("the find tool did not open");
    // Every change of the result list keeps to what views rely on.
    new QAbstractItemModelTester(search->findChild<SearchResultsModel*>(),
                                 QAbstractItemModelTester::FailureReportingMode::QtTest, search);
    return *search;
}

void find(SearchWindow& window, const QString& named) {
    child<QLineEdit>(window, "Input1").setText(named);
    QTest::mouseClick(&child<QPushButton>(window, "findB"), Qt::LeftButton);
}

QStringList column(const SearchWindow& window, int column) {
    QStringList texts;
    const SearchResultsModel& rows = window.results();
    for (int row = 0; row < rows.rowCount(); ++row)
        texts << rows.index(row, column).data().toString();
    return texts;
}

void lookOnlyIn(SearchWindow& window, const QString& volume) {
    auto& list = child<QListWidget>(window, "List1");
    list.clearSelection();
    list.findItems(volume, Qt::MatchExactly).first()->setSelected(true);
}

void clickHeader(SearchWindow& window, int column) {
    QHeaderView* header = child<QTreeView>(window, "ListView1").header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void doubleClickRow(SearchWindow& window, int row) {
    auto& list = child<QTreeView>(window, "ListView1");
    const QModelIndex index = list.model()->index(row, 0);
    list.scrollTo(index);
    const QPoint at = list.visualRect(index).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
}

// The user goes over to the main window and comes back.
bool switchAwayAndBack(ProgramUnderTest& program, SearchWindow& search) {
    program.window().activateWindow();
    if (!QTest::qWaitFor([&] { return program.window().isActiveWindow(); }))
        return false;
    search.activateWindow();
    return QTest::qWaitFor([&] { return search.isActiveWindow(); });
}

// Watches a search from inside: `act` runs whenever the search lets events
// through.
class SearchProbe : public QObject {
public:
    explicit SearchProbe(std::function<void()> act) : act_(std::move(act)) { startTimer(0); }

protected:
    void timerEvent(QTimerEvent*) override { act_(); }

private:
    std::function<void()> act_;
};

QRect pixelsOfTwips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

} // namespace

class SearchWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theSearchCommandOpensTheFindTool() {
        ProgramUnderTest program;
        program.setOption("oSearchDirs", "0");
        QVERIFY(program.start());
        QVERIFY(program.window().findChild<QWidget*>("bFind")->isEnabled());
        SearchWindow& search = openSearch(program);
        QCOMPARE(search.windowTitle(), QString("Kestro Pro Find Tool"));
        QCOMPARE(search.geometry(), pixelsOfTwips(1995, 1380, 6900, 4860));
        QTRY_VERIFY(program.sounds.played.contains("openwindow.wav"));

        auto& tabs = child<QTabWidget>(search, "TabStrip1");
        QStringList tabTexts;
        for (int i = 0; i < tabs.count(); ++i)
            tabTexts << tabs.tabText(i) + "|" + tabs.tabBar()->tabData(i).toString() + "|" +
                            tabs.tabToolTip(i);
        QCOMPARE(tabTexts, QStringList({"Name && Location|name|What to search for",
                                        "Date Modified|date|Search by date range",
                                        "Advanced|advanced|Search by filesize and more",
                                        "Duplicates|duplicates|Files held more than once, or "
                                        "on one medium only"}));
        // Every caption shows whole at the window's opening width.
        QVERIFY(tabs.tabBar()->sizeHint().width() <= tabs.tabBar()->width());
        QCOMPARE(tabs.currentIndex(), 0);

        auto& volumes = child<QListWidget>(search, "List1");
        QCOMPARE(entries(volumes, false),
                 QStringList({"<<All Volumes>>", "Backup", "GAMES DISK", "Music"}));
        QCOMPARE(entries(volumes, true), QStringList({"<<All Volumes>>"}));
        QVERIFY(child<QCheckBox>(search, "Check2").isChecked());
        QVERIFY(!child<QCheckBox>(search, "Check1").isChecked()); // oSearchDirs 0
        QCOMPARE(QApplication::focusWidget(), &child<QLineEdit>(search, "Input1"));
        QVERIFY(!child<QPushButton>(search, "stopB").isEnabled());

        // The columns show their headers, and what a search finds, whole.
        QCOMPARE(test::cutTexts(child<QTreeView>(search, "ListView1")), QStringList());
        find(search, "*");
        QVERIFY(search.results().rowCount() > 10);
        QCOMPARE(test::cutTexts(child<QTreeView>(search, "ListView1")), QStringList());
    }

    void aCatalogWithoutVolumesHasNothingToLookIn() {
        ProgramUnderTest program;
        QFile::remove(program.catalogPath());
        test::makeCatalogFile(program.catalogPath());
        program.setOption("oSearchFiles", "0");
        QVERIFY(program.start());
        SearchWindow& search = openSearch(program);
        QCOMPARE(child<QListWidget>(search, "List1").count(), 0);
        QVERIFY(child<QCheckBox>(search, "Check2").isChecked()); // as built, not the option
        find(search, "*");
        QCOMPARE(search.statusText(),
                 QString("0 folders / 0 files found -- Search Completed Successfully"));
        QVERIFY(program.prompter.messages.isEmpty());
    }

    void rowsAppearWhileTheSearchRunsAndStopKeepsThem() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        SearchWindow& search = openSearch(program);
        int rowsWhileSearching = 0;
        QStringList statuses;
        bool stopUsable = true;
        auto watch = std::make_unique<SearchProbe>([&] {
            if (!search.isSearching())
                return;
            rowsWhileSearching = std::max(rowsWhileSearching, search.results().rowCount());
            if (!statuses.contains(search.statusText()))
                statuses << search.statusText();
            stopUsable = stopUsable && child<QPushButton>(search, "stopB").isEnabled() &&
                         !child<QPushButton>(search, "findB").isEnabled() &&
                         !child<QPushButton>(search, "newB").isEnabled();
        });
        find(search, "*");
        watch.reset();

        const int rows = search.results().rowCount();
        QVERIFY2(rowsWhileSearching > 0 && rowsWhileSearching < rows,
                 qPrintable(QString("%1 of %2").arg(rowsWhileSearching).arg(rows)));
        QVERIFY(stopUsable);
        QVERIFY(statuses.contains("Searching for folders in volume: GAMES DISK"));
        QVERIFY(statuses.contains("Searching for files in volume: Music"));
        const qsizetype folders = column(search, SearchResultsModel::Type).count("(File Folder)");
        QCOMPARE(rows - folders, 14);
        QCOMPARE(
            search.statusText(),
            QString("%1 folders / 14 files found -- Search Completed Successfully").arg(folders));
        QVERIFY(!child<QPushButton>(search, "stopB").isEnabled());
        QVERIFY(child<QPushButton>(search, "findB").isEnabled());
        QCOMPARE(QApplication::overrideCursor(), nullptr);

        const int doom = int(column(search, SearchResultsModel::Filename).indexOf("DOOM.EXE"));
        QStringList shown;
        for (int at : {SearchResultsModel::Volume, SearchResultsModel::Location,
                       SearchResultsModel::Size, SearchResultsModel::Description})
            shown << column(search, at).value(doom);
        QCOMPARE(shown, QStringList({"GAMES DISK", "W:\\DOOM", "3KB", ""}));

        // Once rows are in, the user looks at the main window, comes back
        // (Stop must still be usable) and stops.
        bool stopped = false;
        watch = std::make_unique<SearchProbe>([&] {
            if (!search.isSearching() || search.results().rowCount() == 0 || stopped)
                return;
            stopped = true;
            QVERIFY(switchAwayAndBack(program, search));
            QTest::mouseClick(&child<QPushButton>(search, "stopB"), Qt::LeftButton);
        });
        find(search, "*");
        watch.reset();
        QVERIFY(stopped);
        const int kept = search.results().rowCount();
        QVERIFY2(kept > 0 && kept < rows, qPrintable(QString("%1 of %2").arg(kept).arg(rows)));
        QVERIFY2(search.statusText().endsWith(" files found -- Search ABORTED by user"),
                 qPrintable(search.statusText()));
        QVERIFY(!child<QPushButton>(search, "stopB").isEnabled());
        QVERIFY(child<QPushButton>(search, "findB").isEnabled());

        // Neither files nor folders: said, and nothing searched.
        child<QCheckBox>(search, "Check1").setChecked(false);
        child<QCheckBox>(search, "Check2").setChecked(false);
        find(search, "*");
        QCOMPARE(program.prompter.messages, QStringList({kNoTableKindMessage}));
        QCOMPARE(search.results().rowCount(), 0);
    }

    void searchAsYouTypeFollowsNamedAndAKeystrokeStopsTheSearchUnderWay() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        SearchWindow& search = openSearch(program);
        auto& named = child<QLineEdit>(search, "Input1");
        QTest::keyClicks(&named, "wa");
        QCOMPARE(search.results().rowCount(), 0); // the option is off at first

        Options options = program.state.options();
        options.oSearchAsYouType = 1;
        program.state.setOptions(options);
        QTest::keyClick(&named, 'd');
        QCOMPARE(column(search, SearchResultsModel::Filename), QStringList({"e1m1.wad", "x.wad"}));

        // The next keystroke comes while its search runs, and the next after
        // that: the search for "wadx" stops, and "wad" is searched for again.
        bool typed = false;
        auto watch = std::make_unique<SearchProbe>([&] {
            if (search.isSearching() && !typed) {
                typed = true;
                QTest::keyClick(&named, Qt::Key_Backspace);
            }
        });
        QTest::keyClick(&named, 'x');
        QVERIFY(typed);
        QTRY_COMPARE(search.statusText(),
                     QString("0 folders / 2 files found -- Search Completed Successfully"));
        QCOMPARE(column(search, SearchResultsModel::Filename), QStringList({"e1m1.wad", "x.wad"}));
        watch.reset();

        // A name typed longer narrows the rows found without reading the
        // catalog: a row deleted behind the window's back, the file's change
        // counter put back, is still listed...
        const QString files = VolumeTable(program.games, TableKind::Files);
        QFile catalog(program.catalogPath());
        QVERIFY(catalog.open(QIODevice::ReadWrite));
        const QByteArray header = catalog.read(100);
        program.openCatalog().execute("DELETE FROM " + quoteIdentifier(files) +
                                      " WHERE name = 'x.wad'");
        QVERIFY(catalog.seek(24) && catalog.write(header.mid(24, 4)) == 4 && catalog.flush());
        named.setCursorPosition(0);
        QTest::keyClick(&named, '.');
        QCOMPARE(column(search, SearchResultsModel::Filename), QStringList({"e1m1.wad", "x.wad"}));
        // ... until the catalog changes: then it is read again.
        program.openCatalog().execute("UPDATE " + quoteIdentifier(files) +
                                      " SET thedescription = 'E1M1' WHERE name = 'e1m1.wad'");
        named.setCursorPosition(0);
        QTest::keyClick(&named, 'x');
        QCOMPARE(search.results().rowCount(), 0);

        named.selectAll();
        QTest::keyClick(&named, Qt::Key_Delete);
        QCOMPARE(search.results().rowCount(), 0);
        QVERIFY(program.prompter.messages.isEmpty());
    }

    // A change committed while a typed search reads the catalog is found by
    // the next keystroke's search, never hidden by narrowing the rows found.
    void aChangeMadeDuringASearchIsReadByTheNextOne() {
        ProgramUnderTest program;
        program.setOption("oSearchAsYouType", "1");
        QVERIFY(program.start());
        SearchWindow& search = openSearch(program);
        const QString files = VolumeTable(program.games, TableKind::Files);
        bool changed = false;
        auto watch = std::make_unique<SearchProbe>([&] {
            // The files of "GAMES DISK" have been read.
            if (search.statusText() == "Searching for files in volume: Music" && !changed) {
                changed = true;
                program.openCatalog().execute("DELETE FROM " + quoteIdentifier(files) +
                                              " WHERE name = 'x.wad'");
            }
        });
        auto& named = child<QLineEdit>(search, "Input1");
        QTest::keyClicks(&named, "wa");
        QVERIFY(changed);
        watch.reset();
        QTest::keyClick(&named, 'd');
        QCOMPARE(column(search, SearchResultsModel::Filename), QStringList({"e1m1.wad"}));
    }

    void sortingFlipsTheOrderOnEveryClick() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        SearchWindow& search = openSearch(program);
        child<QCheckBox>(search, "Check1").setChecked(false); // files only
        find(search, "*");
        QCOMPARE(search.results().rowCount(), 14);

        // Sizes sort as their texts: "196KB" after "69KB" in the padded
        // text, so first in descending order.
        clickHeader(search, SearchResultsModel::Size);
        QCOMPARE(column(search, SearchResultsModel::Filename).mid(0, 4),
                 QStringList({"big.bin", "e1m1.wad", "song.mp3", "DOOM.EXE"}));
        QCOMPARE(column(search, SearchResultsModel::Size).mid(4), QStringList(10, "1KB"));

        // Another column: the order flips again, to ascending.
        clickHeader(search, SearchResultsModel::Filename);
        const QStringList ascending = {"archive.tar.GZ", "big.bin",    "data.xyz",  "DOOM.EXE",
                                       "e1m1.wad",       "letter.doc", "name.",     "pong.exe",
                                       "README",         "readme.TXT", "small.txt", "song.mp3",
                                       "tetris.com",     "x.wad"};
        QCOMPARE(column(search, SearchResultsModel::Filename), ascending);
        clickHeader(search, SearchResultsModel::Filename);
        QStringList descending = ascending;
        std::reverse(descending.begin(), descending.end());
        QCOMPARE(column(search, SearchResultsModel::Filename), descending);

        // A new search keeps the order the list shows.
        find(search, "*.wad");
        QCOMPARE(column(search, SearchResultsModel::Filename), QStringList({"x.wad", "e1m1.wad"}));
    }

    // Programs and folders are the file opener's to tell apart; the window
    // hands it the row's volume, location and name, a volume's root included.
    void aResultOpensWhereItsMediumIsNow() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        SearchWindow& search = openSearch(program);
        find(search, "nothing of that name");
        doubleClickRow(search, 0); // an empty list: nothing happens
        QVERIFY(program.prompter.messages.isEmpty());

        find(search, "readme.TXT");
        doubleClickRow(search, 0);
        find(search, "W:");
        QCOMPARE(column(search, SearchResultsModel::Location), QStringList({""}));
        doubleClickRow(search, 0);
        const QString readme = program.gamesFolder() + "/DOOM/readme.TXT";
        QCOMPARE(program.shell.documents, QStringList({readme, program.gamesFolder()}));

        // The medium moved to V:, and its marker tells so; without a marker
        // the user is asked for the drive that holds it.
        QTemporaryDir emptyDrive;
        program.drives.table().unmap('W');
        program.drives.map('W', emptyDrive.path());
        program.drives.map('V', program.gamesFolder());
        find(search, "readme.TXT");
        doubleClickRow(search, 0);
        QCOMPARE(program.shell.documents.size(), 3);
        QVERIFY(program.prompter.messages.isEmpty());
        QVERIFY(QFile::remove(program.gamesFolder() + "/Kestro.cat"));
        QString asked;
        test::whenDialogShows("fDrive", [&asked](QDialog& fDrive) {
            asked = fDrive.findChild<QLabel*>("Label1")->text();
            test::chooseDrive(fDrive, 'v');
        });
        doubleClickRow(search, 0);
        QTRY_COMPARE(program.shell.documents.size(), 4);
        QCOMPARE(program.shell.documents.last(), readme);
        QCOMPARE(asked, QString("The drive that holds \"GAMES DISK\":"));
    }

    // What the dialog writes for a search is the export dialog's test; here
    // the window opens it only with results, for its last search.
    void exportWritesWhatTheLastSearchFound() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        SearchWindow& search = openSearch(program);
        bool opened = false;
        QTimer::singleShot(50, [&opened] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                opened = true;
                modal->close();
            }
        });
        QTest::mouseClick(&child<QPushButton>(search, "newB"), Qt::LeftButton);
        QTest::qWait(100);
        QVERIFY(!opened); // no results, no export dialog

        lookOnlyIn(search, "GAMES DISK");
        find(search, "*.wad");
        QTemporaryDir out;
        test::whenDialogShows("fExport", [&](QDialog& dialog) {
            child<FolderChooser>(dialog, "Dir1").setFolder(out.path());
            for (QCheckBox* field : dialog.findChildren<QCheckBox*>("eField"))
                field->setChecked(QList<int>({0, 1, 3}).contains(field->property("index").toInt()));
            child<QPushButton>(dialog, "OK").click();
            child<QPushButton>(dialog, "Cancel").click();
        });
        QTest::mouseClick(&child<QPushButton>(search, "newB"), Qt::LeftButton);
        // Only the volume searched, only what the search found.
        QCOMPARE(QDir(out.path()).entryList(QDir::Files),
                 QStringList({"GAMES DISK (search results).cdf"}));
        QCOMPARE(test::readAll(out.filePath("GAMES DISK (search results).cdf")),
                 QByteArray("\"Filename\",\"Path\",\"Size\"\r\n"
                            "\"e1m1.wad\",\"W:\\DOOM\\MAPS\",\"69\"\r\n"
                            "\"x.wad\",\"W:\\DOOM\\MAPS\\OLD\",\"1\"\r\n"));
    }

    void europeanDatesAreTypedAndShownDayFirst() {
        ProgramUnderTest program;
        program.setOption("oDateFormat", "1");
        QVERIFY(program.start());
        SearchWindow& search = openSearch(program);
        QCOMPARE(search.windowTitle(), QString("Kestro Pro Find Tool (Euro-Dates)"));
        QCOMPARE(search.results()
                     .headerData(SearchResultsModel::Modified, Qt::Horizontal, Qt::DisplayRole)
                     .toString(),
                 QString("Modified (Euro-Date)"));

        // The volumes were catalogued today: between today and today, day
        // first, finds them; between yesterday and yesterday does not.
        for (QRadioButton* option : search.findChildren<QRadioButton*>("Option1"))
            option->setChecked(option->property("index").toInt() == 1);
        const auto findOn = [&search](const QDate& day) {
            child<QLineEdit>(search, "Text1").setText(day.toString("d/M/yyyy"));
            child<QLineEdit>(search, "Text2").setText(day.toString("d/M/yyyy"));
            find(search, "song.mp3");
            return column(search, SearchResultsModel::Modified);
        };
        const QDate today = QDate::currentDate();
        const QStringList found = findOn(today);
        QCOMPARE(found.size(), 1);
        QVERIFY2(found[0].startsWith(today.toString("d/M/yyyy ")), qPrintable(found[0]));
        QCOMPARE(findOn(today.addDays(-1)), QStringList());
    }

    void placementComesFromTheSettingsFileAndGoesBackOnClose() {
        ProgramUnderTest program;
        IniFile settings(program.programFile("Kestro.ini"));
        const QStringList keys = {"sWindowLeft", "sWindowTop", "sWindowWidth", "sWindowHeight"};
        const auto placement = [&] {
            QStringList twips;
            for (const QString& key : keys)
                twips << settings.value("Environment", key).value_or(QString());
            return twips;
        };
        const QStringList opening = {"1500", "1200", "7500", "6000"};
        for (int i = 0; i < keys.size(); ++i)
            settings.setValue("Environment", keys[i], opening[i]);
        QVERIFY(program.start());
        SearchWindow* search = &openSearch(program);
        QCOMPARE(search->geometry(), QRect(100, 80, 500, 400));

        search->setGeometry(120, 90, 540, 330);
        search->close();
        QCOMPARE(placement(), QStringList({"1800", "1350", "8100", "4950"}));
        search = &openSearch(program);
        QCOMPARE(search->geometry(), QRect(120, 90, 540, 330));

        // Coming back to the window undoes what was changed since it opened
        // except the criteria and results.
        find(*search, "*.wad");
        child<QLineEdit>(*search, "Input1").setText("still here");
        lookOnlyIn(*search, "Music");
        child<QCheckBox>(*search, "Check1").setChecked(false);
        child<QTabWidget>(*search, "TabStrip1").setCurrentIndex(2);
        search->setGeometry(10, 10, 600, 450);
        const qsizetype cues = program.sounds.played.count("openwindow.wav");
        QVERIFY(switchAwayAndBack(program, *search));
        QCOMPARE(entries(child<QListWidget>(*search, "List1"), true),
                 QStringList({"<<All Volumes>>"}));
        QVERIFY(child<QCheckBox>(*search, "Check1").isChecked());
        QCOMPARE(child<QTabWidget>(*search, "TabStrip1").currentIndex(), 0);
        QCOMPARE(search->geometry(), QRect(120, 90, 540, 330));
        QCOMPARE(child<QLineEdit>(*search, "Input1").text(), QString("still here"));
        QCOMPARE(search->results().rowCount(), 2);
        QCOMPARE(program.sounds.played.count("openwindow.wav"), cues + 1);

        // Coming back from a message box or from another program is no
        // activation: what the user set stays.
        lookOnlyIn(*search, "Music");
        search->setGeometry(10, 10, 600, 450);
        QMessageBox box(QMessageBox::Information, "Kestro Pro", "A notice", QMessageBox::Ok);
        box.show();
        box.activateWindow();
        QVERIFY(QTest::qWaitFor([&] { return box.isActiveWindow(); }));
        box.close();
        search->activateWindow();
        QVERIFY(QTest::qWaitFor([&] { return search->isActiveWindow(); }));
        QApplication::setActiveWindow(nullptr); // over to another program, and back
        QVERIFY(!search->isActiveWindow());
        QApplication::setActiveWindow(search);
        QVERIFY(search->isActiveWindow());
        QCOMPARE(entries(child<QListWidget>(*search, "List1"), true), QStringList({"Music"}));
        QCOMPARE(search->geometry(), QRect(10, 10, 600, 450));
        QCOMPARE(program.sounds.played.count("openwindow.wav"), cues + 1);

        // A minimized window is not placed: it comes back where it was.
        search->setWindowState(Qt::WindowMinimized);
        search->open();
        QCOMPARE(search->normalGeometry(), QRect(10, 10, 600, 450));

        // Closing discards the results.
        search->close();
        search = &openSearch(program);
        QCOMPARE(search->results().rowCount(), 0);
    }

    void theWindowKeepsItsLeastSizeAndItsWidthsAndQuitEndsTheProgram() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        SearchWindow& search = openSearch(program);
        search.resize(4000 / 15, 3000 / 15);
        QCOMPARE(search.size(), QSize(367, 233)); // 5500 x 3500 twips
        // Nothing is squeezed below the size it needs.
        QVERIFY2(search.layout()->minimumSize().width() <= search.width() &&
                     search.layout()->minimumSize().height() <= search.height(),
                 qPrintable(QString("%1x%2")
                                .arg(search.layout()->minimumSize().width())
                                .arg(search.layout()->minimumSize().height())));

        // Tab strip W - 1605 twips, buttons at W - 1305, the list W - 125.
        search.resize(9000 / 15, 6000 / 15);
        QTRY_COMPARE(child<QTabWidget>(search, "TabStrip1").width(), (9000 - 1605) / 15);
        for (const char* button : {"findB", "stopB", "newB", "QuitB"})
            QCOMPARE(child<QPushButton>(search, button).x(), (9000 - 1305) / 15);
        QCOMPARE(child<QTreeView>(search, "ListView1").width(), 9000 / 15 - 8);

        // "&Quit Kestro" ends the program through its main window's exit
        // (what all that saves is the main window's test), saving both places.
        QTest::mouseClick(&child<QPushButton>(search, "QuitB"), Qt::LeftButton);
        QVERIFY(!program.window().isVisible());
        QVERIFY(!search.isVisible());
        IniFile settings(program.programFile("Kestro.ini"));
        QVERIFY(!settings.value("Environment", "WindowLeft").value_or(QString()).isEmpty());
        QVERIFY(!settings.value("Environment", "sWindowLeft").value_or(QString()).isEmpty());
    }

    void theDuplicatesTabListsCopiesOrSingleCopiesAndExportsThem() {
        ProgramUnderTest program;
        QTemporaryDir copy; // song.mp3 and README again, on a fourth medium
        test::makeFile(copy.path(), "Albums/song.mp3", 5000);
        test::makeFile(copy.path(), "README", 10);
        test::catalogFolder(QFileInfo(program.catalogPath()).absolutePath(), program.catalogPath(),
                            copy.path(), "Music Copy", 'Z');
        QVERIFY(program.start());
        SearchWindow& search = openSearch(program);
        child<QTabWidget>(search, "TabStrip1").setCurrentIndex(3);
        find(search, "");
        QCOMPARE(search.statusText(), QString("4 files held more than once, in 2 groups"));
        QCOMPARE(column(search, SearchResultsModel::Filename),
                 QStringList({"song.mp3", "song.mp3", "README", "README"})); // largest first
        QCOMPARE(column(search, SearchResultsModel::Volume),
                 QStringList({"Music", "Music Copy", "GAMES DISK", "Music Copy"}));
        QCOMPARE(column(search, SearchResultsModel::Type).first(), QString("MP3 audio"));

        const QString csv = QDir(copy.path()).filePath("copies.csv");
        program.prompter.answerText(csv);
        QTest::mouseClick(&child<QPushButton>(search, "newB"), Qt::LeftButton);
        const QStringList lines = QString::fromUtf8(test::readAll(csv)).split("\r\n");
        QCOMPARE(
            lines.mid(0, 2),
            QStringList({"\"Group\",\"Copies\",\"Total size\",\"Volume\",\"Location\","
                         "\"Name\",\"Size\",\"Modified\"",
                         "\"1\",\"2\",\"10KB\",\"Music\",\"X:\\Albums\",\"song.mp3\",\"5KB\",\"" +
                             column(search, SearchResultsModel::Modified).first() + "\""}));

        // The files of GAMES DISK that no other volume holds: all 12 but README.
        child<QRadioButton>(search, "optSingleCopies").setChecked(true);
        lookOnlyIn(search, "GAMES DISK");
        find(search, "");
        QCOMPARE(search.statusText(), QString("11 files no other volume holds"));
        QVERIFY(!column(search, SearchResultsModel::Filename).contains("README"));
        QVERIFY(program.prompter.messages.isEmpty());
    }

    void startupModeOpensTheFindToolAtStart() {
        ProgramUnderTest program;
        program.setOption("oStartupMode", "1");
        QVERIFY(program.start());
        QTRY_VERIFY(test::shownWindow("fSearch"));
    }
};

QTEST_MAIN(SearchWindowTest)
#include "SearchWindowTest.moc"
