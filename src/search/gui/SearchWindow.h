#pragma once

#include "platform/gui/ColumnFitter.h"
#include "search/DuplicateFiles.h"
#include "search/SearchScan.h"
#include "search/SearchView.h"

#include <QElapsedTimer>
#include <QWidget>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QTreeView;

namespace kestro {

class CatalogFileOpener;
class ProgramState;
class SearchResultsModel;
class SearchState;
class SearchTabs;

// The find tool (fSearch), a window of its own beside the main window: the
// criteria on three tabs, "&Find Now", "&Stop", "&Export" and "&Quit Kestro",
// the results (ListView1) and a status bar.
//
// Every time it becomes the active window coming from another window of the
// program it reads the catalog's volumes afresh ("<<All Volumes>>" chosen),
// takes its placement from the settings file, the two table kinds from the
// options and puts the focus on "Named:"; results and criteria stay. Coming
// back from a message box or from another program changes nothing. Closing it saves its placement
// and discards the results.
//
// With the option "Search as You Type?", every change the user makes to
// "Named:" searches at once, as "&Find Now" would; a change during a search
// stops that search and searches again for the new text.
class SearchWindow : public QWidget, private SearchView {
    Q_OBJECT
public:
    // What the window hands over to the main window.
    struct HandOffs {
        CatalogFileOpener& fileOpener;               // opens a result
        std::function<void(QWidget*)> exportResults; // the export dialog, modal over the window
        std::function<void()> quitProgram;           // closes the main window and so the program
    };

    SearchWindow(ProgramState& program, SearchState& search, HandOffs handOffs,
                 QWidget* parent = nullptr);
    ~SearchWindow() override;

    // The Search command: the saved placement, the window shown in front.
    void open();
    bool isSearching() const { return searching_; }
    const SearchResultsModel& results() const { return *results_; }
    QString statusText() const;

Q_SIGNALS:
    // The window became the active one: the main window's buttons rest.
    void activated();

public Q_SLOTS:
    void Input1_Change();
    void findB_Click();
    void stopB_Click();
    void newB_Click();
    void QuitB_Click();
    void ListView1_ColumnClick(int column);
    void ListView1_DblClick();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPushButton* addButton(const char* name, const QString& caption);
    void Form_Activate();
    void showColumns();
    void loadPlacement();
    void savePlacement();
    // "&Find Now", or a keystroke with "Search as You Type?" on, which may
    // narrow the last search's rows rather than read the catalog again.
    void search(bool typed);
    // "&Find Now" on the "Duplicates" tab: the copies, or the single copies,
    // shown in the result list; "&Export" then writes them to a CSV file.
    void findDuplicates();
    void exportDuplicates();

    // What the search shows.
    void clearResults() override;
    void addResults(std::vector<SearchResult> rows) override;
    void setBusy(bool busy) override;
    void setStatus(const QString& text) override;
    void yieldEvents(int times) override;
    void message(const QString& text) override;

    ProgramState& program_;
    SearchState& search_;
    HandOffs handOffs_;
    SearchTabs* tabs_;
    QPushButton* findB_ = nullptr;
    QPushButton* stopB_ = nullptr;
    QPushButton* newB_ = nullptr;
    QPushButton* quitB_ = nullptr;
    SearchResultsModel* results_;
    QTreeView* listView1_;
    ColumnFitter columns_; // of the result list
    QLabel* status_;

    // The list takes the rows found in a few big steps rather than in
    // thousands of small ones.
    QElapsedTimer sinceResultsShown_;
    bool searching_ = false;
    // "Named:" changed while a search ran: that search was stopped, and the
    // new text is searched for when it has ended.
    bool retyped_ = false;
    // The last search, when it completed, and the catalog's stamp after it:
    // while the stamp holds, a search it narrows judges its rows again.
    std::optional<SearchRequest> completed_;
    QByteArray completedStamp_;
    // What the list holds when a look for duplicates filled it.
    enum class Listed { SearchResults, Copies, SingleCopies };
    Listed listed_ = Listed::SearchResults;
    std::vector<DuplicateGroup> copies_;
    std::vector<SearchResult> singleCopies_;
    bool activating_ = false;
    // The user went from this window to another window of the program, so
    // that coming back is an activation.
    bool leftForProgramWindow_ = true;
};

} // namespace kestro
