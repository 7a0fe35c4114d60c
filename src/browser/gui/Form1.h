#pragma once

#include "browser/VolumeSummary.h"
#include "search/SearchState.h"

#include <QHash>
#include <QMainWindow>
#include <memory>
#include <vector>

class QLabel;
class QMenu;
class QTreeWidgetItem;

namespace kestro {

class CatalogFileOpener;
class CatalogTree;
class ContentsList;
class Database;
class EditingCommands;
class HelpWindow;
class OnlineVolumes;
class PaneSplitter;
class PictureButtonRow;
class ProgramState;
class SearchWindow;
class SplashWindow;
struct ContentsRow;
struct RootAndCategories;

// The main window: the catalog tree on the left, the contents of the node
// shown on the right, the picture buttons, the menus and the status line.
//
// Every command is a QAction named after its menu entry (mnuNew, mnuOpen,
// mnuExport, mnuNewCategory, mnuExit, mnuCatalog, mnuSearch, mnuCompact,
// mnuOptions, mnuHelp, mnuAbout); the picture buttons run the same actions
// and follow their enabled state. The context menus' entries are actions
// too (volumesRename, volumesDelete, categoriesDelete, categoriesRename,
// rootNewCategory, rootRename, filesCategorize, filesDelete,
// filesDescribe); the Delete and F2 keys trigger them. A command whose
// window does not exist yet stays disabled. A new window comes to life in
// buildCommands() or buildContextMenus(): its action's triggered() goes to a
// slot that shows the window, made over the same ProgramState, and runs
// RefreshViews() when the catalog changed; the action is enabled.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(ProgramState& state, QWidget* parent = nullptr);
    ~Form1() override;

    // The load: splash window, options, window layout, then the current
    // catalog, offering the Open dialog while it cannot be used. False when
    // the user chose none: they have been told the program quits, and the
    // caller ends it normally.
    bool start();
    bool isStartupComplete() const { return startupComplete_; }

    // Opens a catalogued file, asking for another drive while it is not
    // found; the search window uses it too.
    CatalogFileOpener& fileOpener() { return *fileOpener_; }

    QString statusText() const;

Q_SIGNALS:
    // The tree and the list show the current catalog afresh.
    void viewsRefreshed();

public Q_SLOTS:
    // The current catalog.
    bool OpenDatabase();
    // Asks for the URI of a hosted catalog and makes it the current catalog.
    bool OpenHostedCatalog();
    void NewDatabase();
    void CompactDatabase();
    void RefreshViews();
    void ExitProgram();
    void ShowAbout();
    void ShowHelp();
    void ShowOptions();
    // The find tool at its saved placement, not modal; the export dialog
    // for whole volumes, modal.
    void ShowSearch();
    void ShowExport();

    // The tree.
    void ExpandAhead(QTreeWidgetItem* node);
    void LstPers_MouseUp(Qt::MouseButton button);
    void LstPers_Expand(QTreeWidgetItem* node);
    void lstpers_KeyUp(int key);

    // The contents list.
    void ShowNode(QTreeWidgetItem* node);
    void ShowVolumeColumns();
    void ShowFileColumns();
    void SaveColumnWidths();
    void lstTel_ColumnClick(int column);
    void lstTel_DblClick();
    void lstTel_KeyDown(int key);
    void lstTel_MouseUp(Qt::MouseButton button);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildCommands();
    void buildContextMenus();
    void buildButtonRow(QWidget* top);
    QAction* addCommand(QMenu* menu, const QString& name, const QString& caption,
                        const QKeySequence& shortcut);
    // An entry of a context menu: its name, its caption and what it runs.
    struct ContextEntry {
        QString name;
        QString caption;
        void (EditingCommands::*command)();
    };
    QMenu* addContextMenu(const QString& name, const QString& title,
                          const QList<ContextEntry>& entries);

    bool loadCatalogAtStart(SplashWindow& splash);
    void loadRootAndCategories(const RootAndCategories& catalog);
    // A category's row, its first column reading `text`.
    ContentsRow categoryRow(const QString& key, const QString& text, const QString& image) const;
    void LoadVolumes(const Database& db, std::vector<ContentsRow>& rows);
    void selectNode(QTreeWidgetItem* node);
    void showChildRows(QTreeWidgetItem* node);
    void showFolderRows(QTreeWidgetItem* node);
    void AddFileRows(const Database& db, const QString& tablename, const QString& path,
                     std::vector<ContentsRow>& rows);
    void showNodeMenu(QTreeWidgetItem* node);
    void showMenu(QMenu* menu);
    // What every dialog does as it opens: the buttons come to rest, pending
    // events run, the openwindow cue plays.
    void prepareToOpenWindow();
    QString chooseDrive(const QString& current, const QString& volumeName);

    // Marks the volumes online as the last look found them.
    void showOnlineVolumes();
    QString volumeStatusText(QTreeWidgetItem* volumeNode) const;

    void restoreLayout();
    void saveLayout();
    void setStatusText(const QString& text);
    bool europeanDates() const;
    bool smartCaps() const;

    ProgramState& state_;
    CatalogTree* tree_;
    ContentsList* list_;
    PaneSplitter* panes_;
    PictureButtonRow* buttons_ = nullptr;
    QLabel* logo_ = nullptr;
    QLabel* status_;
    QHash<QString, QMenu*> contextMenus_;
    OnlineVolumes* online_;
    std::unique_ptr<CatalogFileOpener> fileOpener_;
    // The last search and the request to stop, shared by the find tool and
    // the export dialog.
    SearchState searchState_;
    std::unique_ptr<SearchWindow> searchWindow_;
    std::unique_ptr<HelpWindow> helpWindow_; // made when the desktop cannot show the help

    // Figures of every volume node, by node number, from the last load.
    QHash<int, VolumeSummary> volumeCache_;
    QStringList volumeKeys_; // of the volume nodes of the last load
    QString lastSelectedKey_;
    int lastShownNumber_ = 0;
    QString shownKey_;
    EditingCommands* editing_; // over the tree, the list and the figures above

    bool startupComplete_ = false;
    bool showingNode_ = false;
    bool quietExpansion_ = false; // expansions made by the program, not the user
    bool expandedByPress_ = false;
    bool layoutSaved_ = false;
};

} // namespace kestro
