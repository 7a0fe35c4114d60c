#include "browser/gui/Form1.h"

#include "browser/CatalogReader.h"
#include "browser/gui/AboutBox.h"
#include "browser/gui/CatalogTree.h"
#include "browser/gui/ContentsList.h"
#include "browser/gui/PaneSplitter.h"
#include "browser/gui/PictureButtonRow.h"
#include "browser/gui/SplashWindow.h"
#include "catalog/CatalogError.h"
#include "catalog/CatalogFile.h"
#include "catalog/DisplayRules.h"
#include "catalog/NodeKey.h"
#include "platform/DriveTable.h"
#include "platform/FileTypes.h"
#include "platform/ProgramFolder.h"
#include "platform/Version.h"
#include "platform/YieldEvents.h"
#include "platform/gui/CatalogFileOpener.h"
#include "platform/gui/DriveChooser.h"
#include "platform/gui/IconCache.h"
#include "platform/gui/ImageStore.h"
#include "platform/gui/Prompter.h"
#include "platform/gui/SoundPlayer.h"
#include "settings/gui/ProgramState.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QVBoxLayout>
#include <cmath>

namespace kestro {

namespace {

const QString kOpenTitle = QStringLiteral("Choose a database to open...");
const QString kNewTitle = QStringLiteral("Name your new database file...");
const QString kCatalogFilter = QStringLiteral("Kestro Database files (*.mdb)");
const QString kCatalogSuffix = QStringLiteral("mdb");
const QString kCategoryTypeText = QStringLiteral(" Category");
const QString kFolderTypeText = QStringLiteral("(File Folder)");

// Window positions and sizes are kept in twips.
constexpr double kTwipsPerPixel = 15;
constexpr int kLowestWindowHeight = 6500 / int(kTwipsPerPixel);
constexpr int kExitPauseMs = 3000;

// The wait pointer for as long as the object lives.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// A button's picture from the icon theme, or one drawn here when the theme
// has none: the initial of the command on a tile.
QIcon buttonPicture(const char* themeName, const QString& command, const QPalette& colours) {
    const QIcon themed = QIcon::fromTheme(QLatin1String(themeName));
    if (!themed.isNull())
        return themed;
    QPixmap tile(22, 22);
    tile.fill(Qt::transparent);
    QPainter painter(&tile);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colours.color(QPalette::Highlight));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(1, 1, 20, 20), 4, 4);
    painter.setPen(colours.color(QPalette::HighlightedText));
    QFont bold = painter.font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(QRect(0, 0, 22, 22), Qt::AlignCenter, command.left(1));
    return QIcon(tile);
}

// The logo at the right end of the button row.
QPixmap logoPicture(const QIcon& logo, const QFont& font, const QPalette& colours) {
    QFont bold = font;
    bold.setBold(true);
    const QString name = QStringLiteral("Kestro Pro");
    const int textWidth = QFontMetrics(bold).horizontalAdvance(name);
    QPixmap picture(QSize(24 + textWidth + 6, 28));
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.drawPixmap(2, 6, logo.pixmap(16, 16));
    painter.setFont(bold);
    painter.setPen(colours.color(QPalette::WindowText));
    painter.drawText(QRect(22, 0, textWidth + 4, 28), Qt::AlignVCenter | Qt::AlignLeft, name);
    return picture;
}

int pixels(double twips) {
    return int(std::lround(twips / kTwipsPerPixel));
}

} // namespace

Form1::Form1(ProgramState& state, QWidget* parent)
    : QMainWindow(parent), state_(state),
      tree_(new CatalogTree([this](const QString& key) { return iconFor(key); })),
      list_(
          new ContentsList(state.environment, [this](const QString& key) { return iconFor(key); })),
      panes_(new PaneSplitter(tree_, list_)), status_(new QLabel) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ProgramCaption());
    tree_->setObjectName(QStringLiteral("lstpers"));
    list_->setObjectName(QStringLiteral("lstTel"));
    list_->setToolTip(QStringLiteral(" Right-click object(s) for more options "));

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("background"));
    central->setMouseTracking(true);
    central->installEventFilter(this);
    auto* top = new QHBoxLayout;
    top->setContentsMargins(3, 0, 1, 0);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(top);
    column->addWidget(panes_, 1);
    setCentralWidget(central);

    buildCommands();
    buildContextMenus();
    buildButtonRow(central);
    top->addWidget(buttons_, 1);
    top->addWidget(logo_);

    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusBar1"));
    status_->setObjectName(QStringLiteral("statusText"));
    // A long status line is cut, never widens the window.
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar->addWidget(status_, 1);
    setStatusBar(statusBar);
    setMinimumHeight(kLowestWindowHeight);

    for (QWidget* watched : {static_cast<QWidget*>(tree_), static_cast<QWidget*>(list_),
                             tree_->viewport(), list_->viewport()})
        watched->installEventFilter(this);
    connect(tree_, &QTreeWidget::itemExpanded, this, &Form1::LstPers_Expand);
    connect(list_, &QAbstractItemView::doubleClicked, this, &Form1::lstTel_DblClick);
    connect(list_->header(), &QHeaderView::sectionClicked, this, &Form1::lstTel_ColumnClick);

    fileOpener_ = std::make_unique<CatalogFileOpener>(
        state_.drives, state_.shell, state_.prompter,
        [this](const QString& current, const QString& volumeName) {
            return chooseDrive(current, volumeName);
        });
    resize(800, 560);
}

Form1::~Form1() = default;

// ---------------------------------------------------------------------------
// Commands, menus and the button row

QAction* Form1::addCommand(QMenu* menu, const QString& name, const QString& caption,
                           const QKeySequence& shortcut) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    menu->addAction(action);
    return action;
}

void Form1::buildCommands() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    connect(addCommand(file, "mnuNew", "&New Database", QKeySequence("Ctrl+N")),
            &QAction::triggered, this, &Form1::NewDatabase);
    connect(addCommand(file, "mnuOpen", "&Open Database", QKeySequence("Ctrl+O")),
            &QAction::triggered, this, &Form1::OpenDatabase);
    file->addSeparator();
    addCommand(file, "mnuExport", "&Export", QKeySequence("Ctrl+E"))->setEnabled(false);
    addCommand(file, "mnuNewCategory", "&New Category", QKeySequence("Ctrl+W"))->setEnabled(false);
    file->addSeparator();
    connect(addCommand(file, "mnuExit", "E&xit", QKeySequence("Ctrl+X")), &QAction::triggered, this,
            &Form1::ExitProgram);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    addCommand(tools, "mnuCatalog", "&Catalog a Volume", QKeySequence("Ctrl+C"))->setEnabled(false);
    addCommand(tools, "mnuSearch", "&Search", QKeySequence("Ctrl+F"))->setEnabled(false);
    tools->addSeparator();
    connect(addCommand(tools, "mnuCompact", "C&ompact Database", QKeySequence("Ctrl+M")),
            &QAction::triggered, this, &Form1::CompactDatabase);
    tools->addSeparator();
    addCommand(tools, "mnuOptions", "&Options", QKeySequence("Ctrl+T"))->setEnabled(false);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    addCommand(help, "mnuHelp", "&Help Topics", QKeySequence(Qt::Key_F1))->setEnabled(false);
    help->addSeparator();
    connect(addCommand(help, "mnuAbout", "&About Kestro Pro", QKeySequence("Ctrl+A")),
            &QAction::triggered, this, &Form1::ShowAbout);
}

QMenu* Form1::addContextMenu(const QString& name, const QString& title,
                             const QList<std::pair<QString, QString>>& entries) {
    auto* menu = new QMenu(title, this);
    menu->setObjectName(name);
    for (const auto& [entryName, caption] : entries) {
        QAction* entry = menu->addAction(caption);
        entry->setObjectName(entryName);
        // Renaming, deleting, describing and categorizing come with the
        // editing commands.
        entry->setEnabled(false);
    }
    contextMenus_.insert(name, menu);
    return menu;
}

void Form1::buildContextMenus() {
    addContextMenu("volumes", "&Volumes",
                   {{"volumesRename", "&Rename"}, {"volumesDelete", "&Delete"}});
    addContextMenu("categories", "&Categories",
                   {{"categoriesDelete", "&Delete"}, {"categoriesRename", "&Rename"}});
    addContextMenu("root", "&Root",
                   {{"rootNewCategory", "&New Category"}, {"rootRename", "&Rename"}});
    addContextMenu("files", "&Files",
                   {{"filesCategorize", "&Categorize"},
                    {"filesDelete", "&Delete"},
                    {"filesDescribe", "&Describe"}});
}

void Form1::buildButtonRow(QWidget* top) {
    buttons_ = new PictureButtonRow(top);
    connect(buttons_, &PictureButtonRow::clickDown, this,
            [this] { state_.sounds.play(cue::kClickDown); });
    connect(buttons_, &PictureButtonRow::clickUp, this,
            [this] { state_.sounds.play(cue::kClickUp); });
    struct ButtonSpec {
        const char* name;
        const char* picture;
        const char* toolTip;
        const char* command;
        bool yieldsFirst;
    };
    const ButtonSpec specs[] = {
        {"bNew", "document-new", " New Database ", "mnuNew", true},
        {"bOpen", "document-open", " Open a Database ", "mnuOpen", true},
        {"bExport", "document-save-as", " Export Data ", "mnuExport", false},
        {"bCatalog", "drive-optical", " Catalog a Disk ", "mnuCatalog", false},
        {"bCategory", "folder-new", " New Category ", "mnuNewCategory", false},
        {"bCompact", "package-x-generic", " Compact this Database ", "mnuCompact", false},
        {"bFind", "edit-find", " Search/Find ", "mnuSearch", false},
        {"bOptions", "preferences-system", " Options ", "mnuOptions", false},
    };
    for (const ButtonSpec& spec : specs) {
        QAction* command = findChild<QAction*>(QLatin1String(spec.command));
        const bool yieldsFirst = spec.yieldsFirst;
        PictureButton* button = buttons_->addButton(
            spec.name, buttonPicture(spec.picture, QString(spec.toolTip).trimmed(), palette()),
            spec.toolTip, [command, yieldsFirst] {
                if (yieldsFirst)
                    YieldEvents(5);
                command->trigger();
            });
        button->setEnabled(command->isEnabled());
        connect(command, &QAction::enabledChanged, button, &QWidget::setEnabled);
    }

    logo_ = new QLabel(top);
    logo_->setObjectName(QStringLiteral("Image2"));
    logo_->setToolTip(QStringLiteral(" About Kestro Pro "));
    logo_->setPixmap(logoPicture(iconFor(QStringLiteral("logo")), font(), palette()));
    logo_->setMouseTracking(true);
    logo_->installEventFilter(this);
}

// ---------------------------------------------------------------------------
// Start-up and exit

bool Form1::start() {
    SplashWindow splash;
    splash.show();
    YieldEvents(25);
    state_.loadOptions();
    state_.sounds.play(cue::kStartup, SoundPlayer::Wait::UntilEnd);
    IconCache(state_.fileTypes, state_.images, [&splash](const QString& message) {
        splash.setMessage(message);
    }).RefreshIconCache();
    setWindowTitle(ProgramCaption());
    state_.environment = state_.settingsFile().loadEnvironment();
    restoreLayout();
    ShowFileColumns();
    if (!loadCatalogAtStart()) {
        splash.hide();
        state_.prompter.message(kNoValidFileMessage);
        return false;
    }
    RefreshViews();
    startupComplete_ = true;
    return true;
}

// The catalog of the settings file, or one the user opens instead while it
// cannot be read or is no usable catalog. False when the user gives up.
bool Form1::loadCatalogAtStart() {
    for (;;) {
        if (probeCatalogFile(state_.environment.lastLoadedFile)) {
            try {
                state_.catalog().open();
                return true;
            } catch (const CatalogError& error) {
                state_.prompter.message(error.message());
            }
        }
        if (!OpenDatabase())
            return false;
    }
}

void Form1::restoreLayout() {
    const Environment& layout = state_.environment;
    if (layout.windowLeft && layout.windowTop && layout.windowWidth && layout.windowHeight &&
        *layout.windowWidth > 0 && *layout.windowHeight > 0)
        setGeometry(pixels(*layout.windowLeft), pixels(*layout.windowTop),
                    pixels(*layout.windowWidth), pixels(*layout.windowHeight));
    panes_->setListWidth(layout.splitterLeft ? int(std::lround(*layout.splitterLeft))
                                             : width() * 2 / 3);
}

void Form1::saveLayout() {
    Environment& layout = state_.environment;
    const QRect window = normalGeometry().isValid() ? normalGeometry() : geometry();
    layout.windowLeft = window.x() * kTwipsPerPixel;
    layout.windowTop = window.y() * kTwipsPerPixel;
    layout.windowWidth = window.width() * kTwipsPerPixel;
    layout.windowHeight = window.height() * kTwipsPerPixel;
    SaveColumnWidths();
    layout.splitterLeft = panes_->listWidth();
    state_.settingsFile().saveEnvironment(layout);
    layoutSaved_ = true;
}

void Form1::ExitProgram() {
    state_.sounds.play(cue::kShutdown);
    saveLayout();
    // The steady clock goes on counting across midnight and clock changes.
    QElapsedTimer pause;
    pause.start();
    while (!pause.hasExpired(kExitPauseMs))
        YieldEvents(5);
    close();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (!layoutSaved_)
        saveLayout();
    event->accept();
}

// ---------------------------------------------------------------------------
// The current catalog

bool Form1::OpenDatabase() {
    YieldEvents(50);
    state_.sounds.play(cue::kOpenWindow);
    const std::optional<QString> chosen =
        state_.prompter.openFileName(kOpenTitle, state_.programFolder(), kCatalogFilter);
    if (!chosen)
        return false;
    state_.environment.lastLoadedFile = *chosen;
    if (startupComplete_)
        RefreshViews();
    return true;
}

void Form1::NewDatabase() {
    YieldEvents(50);
    if (state_.isReadOnly()) {
        state_.prompter.message(kReadOnlyMessage);
        return;
    }
    state_.sounds.play(cue::kOpenWindow);
    const std::optional<QString> chosen = state_.prompter.saveFileName(
        kNewTitle, state_.programFolder(), kCatalogFilter, kCatalogSuffix);
    if (!chosen)
        return;
    try {
        createCatalogFromTemplate(state_.programFile(ProgramFolder::kTemplateName), *chosen,
                                  [] { YieldEvents(1); });
    } catch (const CatalogError& error) {
        state_.prompter.message(error.message());
        return;
    }
    state_.environment.lastLoadedFile = *chosen;
    RefreshViews();
}

void Form1::CompactDatabase() {
    YieldEvents(50);
    buttons_->resetAll();
    if (state_.isReadOnly()) {
        state_.prompter.message(kReadOnlyMessage);
        return;
    }
    state_.sounds.play(cue::kOpenWindow);
    if (!state_.prompter.question(QStringLiteral("Compact current database now?"),
                                  QStringLiteral("Compact database")))
        return;
    try {
        const WaitCursor wait;
        YieldEvents(25);
        compactCatalog(state_.catalog());
    } catch (const CatalogError& error) {
        state_.prompter.message(
            QStringLiteral("The catalog could not be compacted and is as it was.\n\n") +
            error.message());
    }
}

void Form1::RefreshViews() {
    tree_->clearNodes();
    list_->contents().clearRows();
    setStatusText(QStringLiteral(" "));
    YieldEvents(10);
    const QScopedValueRollback quiet(quietExpansion_, true);
    try {
        const Database db = state_.catalog().open();
        const RootAndCategories catalog = ReadRootAndCategories(db);
        loadRootAndCategories(catalog);
        std::vector<ContentsRow> volumeRows;
        LoadVolumes(db, volumeRows);
        std::vector<ContentsRow> rows;
        for (const CategoryEntry& category : catalog.categories)
            rows.push_back(categoryRow(category.key, category.name, QStringLiteral("cat_closed")));
        std::move(volumeRows.begin(), volumeRows.end(), std::back_inserter(rows));
        list_->contents().setRows(std::move(rows));
        tree_->setCurrentItem(tree_->node(RootKey()));
    } catch (const CatalogError& error) {
        // The views stay empty; the user can open or make another catalog.
        tree_->clearNodes();
        list_->contents().clearRows();
        state_.prompter.message(error.message());
    }
}

void Form1::ShowAbout() {
    buttons_->resetAll();
    YieldEvents(50);
    state_.sounds.play(cue::kOpenWindow);
    AboutBox about(this);
    about.exec();
}

// ---------------------------------------------------------------------------
// Loading the tree

void Form1::loadRootAndCategories(const RootAndCategories& catalog) {
    tree_->clearNodes();
    QTreeWidgetItem* root =
        tree_->addNode({}, RootKey(), catalog.name, QStringLiteral("logo"), QStringLiteral("logo"));
    root->setExpanded(true);
    for (const CategoryEntry& category : catalog.categories)
        tree_->addNode(RootKey(), category.key, category.name, QStringLiteral("cat_closed"),
                       QStringLiteral("cat_open"));
}

// A category's row says what it is in the file columns' Type column, or in
// the volume columns' Description column: the volume columns have no column
// for it.
ContentsRow Form1::categoryRow(const QString& key, const QString& name,
                               const QString& image) const {
    ContentsRow row{key, image, {}, {}};
    row.texts[0] = SmartCaps(QLatin1Char(' ') + name, smartCaps());
    row.texts[list_->mode() == ListMode::Volumes ? 5 : 2] = kCategoryTypeText;
    return row;
}

void Form1::LoadVolumes(const Database& db, std::vector<ContentsRow>& rows) {
    setWindowTitle(ProgramCaption() + QStringLiteral(" - ") + state_.environment.lastLoadedFile);
    lastShownNumber_ = 0;
    const std::vector<VolumeEntry> volumes = ReadVolumes(db);
    if (volumes.empty())
        return;
    volumeCache_.clear();
    ShowVolumeColumns();
    for (const VolumeEntry& volume : volumes) {
        const QString parentKey =
            tree_->node(volume.parentKey) ? volume.parentKey : RootKey(); // a lost category
        QTreeWidgetItem* node =
            tree_->addNode(parentKey, volume.key, SmartCaps(volume.name, smartCaps()),
                           volume.imageKey, volume.imageKey);
        if (parentKey == RootKey()) {
            ContentsRow row{volume.key, volume.imageKey, {}, {}};
            row.texts[0] = SmartCaps(QLatin1Char(' ') + volume.name, smartCaps());
            const std::array<QString, 7> figures =
                VolumeFigureTexts(volume.summary, europeanDates());
            std::copy(figures.begin(), figures.end(), row.texts.begin() + 1);
            row.texts[6] = volume.storedDirs;
            row.texts[7] = volume.storedFiles;
            rows.push_back(std::move(row));
        }
        volumeCache_.insert(CatalogTree::numberOf(node), volume.summary);
        for (const FolderEntry& folder : volume.folders)
            tree_->addNode(volume.key, folder.key, SmartCaps(folder.name, smartCaps()),
                           QStringLiteral("closed"), QStringLiteral("open"));
    }
}

void Form1::ExpandAhead(QTreeWidgetItem* node) {
    if (node->childCount() == 0)
        return;
    try {
        const Database db = state_.catalog().open();
        for (int i = 0; i < node->childCount(); ++i) {
            QTreeWidgetItem* child = node->child(i);
            if (child->childCount() > 0)
                continue;
            const QString key = CatalogTree::keyOf(child);
            try {
                for (const FolderEntry& folder :
                     ReadSubFolders(db, TableNameOf(key), NodePathOf(key)))
                    tree_->addNode(key, folder.key, SmartCaps(folder.name, smartCaps()),
                                   QStringLiteral("closed"), QStringLiteral("open"));
            } catch (const CatalogError&) {
                // that child shows no expand button
            }
        }
    } catch (const CatalogError&) {
    }
}

// ---------------------------------------------------------------------------
// Selecting in the tree

// The folder or category selected before gets its closed picture back; the
// one selected now shows open.
void Form1::selectNode(QTreeWidgetItem* node) {
    const QString key = CatalogTree::keyOf(node);
    if (!lastSelectedKey_.isEmpty() && lastSelectedKey_ != key) {
        if (QTreeWidgetItem* last = tree_->node(lastSelectedKey_)) {
            const NodeKind kind = KindOfKey(lastSelectedKey_);
            if (kind == NodeKind::Folder)
                tree_->setImage(last, QStringLiteral("closed"));
            else if (kind == NodeKind::Category)
                tree_->setImage(last, QStringLiteral("cat_closed"));
        }
    }
    lastSelectedKey_ = key;
    const NodeKind kind = KindOfKey(key);
    if (kind == NodeKind::Folder)
        tree_->setImage(node, QStringLiteral("open"));
    else if (kind == NodeKind::Category)
        tree_->setImage(node, QStringLiteral("cat_open"));
}

void Form1::LstPers_MouseUp(Qt::MouseButton button) {
    QTreeWidgetItem* node = tree_->currentItem();
    if (!node)
        return;
    selectNode(node);
    ShowNode(node);
    if (button == Qt::RightButton)
        showNodeMenu(node);
}

void Form1::LstPers_Expand(QTreeWidgetItem* node) {
    if (quietExpansion_)
        return;
    expandedByPress_ = true;
    tree_->setCurrentItem(node);
    ShowNode(node);
}

void Form1::lstpers_KeyUp(int key) {
    QTreeWidgetItem* node = tree_->currentItem();
    if (!node)
        return;
    const NodeKind kind = KindOfKey(CatalogTree::keyOf(node));
    const QString menu = kind == NodeKind::Volume     ? QStringLiteral("volumes")
                         : kind == NodeKind::Category ? QStringLiteral("categories")
                         : kind == NodeKind::Root     ? QStringLiteral("root")
                                                      : QString();
    if (key == Qt::Key_Delete && (kind == NodeKind::Volume || kind == NodeKind::Category))
        findChild<QAction*>(menu + QStringLiteral("Delete"))->trigger();
    else if (key == Qt::Key_F2 && !menu.isEmpty())
        findChild<QAction*>(menu + QStringLiteral("Rename"))->trigger();
    node = tree_->currentItem();
    if (!node)
        return;
    selectNode(node);
    ShowNode(node);
}

void Form1::showNodeMenu(QTreeWidgetItem* node) {
    switch (KindOfKey(CatalogTree::keyOf(node))) {
    case NodeKind::Volume:
        showMenu(contextMenus_.value(QStringLiteral("volumes")));
        break;
    case NodeKind::Category:
        showMenu(contextMenus_.value(QStringLiteral("categories")));
        break;
    case NodeKind::Root:
        showMenu(contextMenus_.value(QStringLiteral("root")));
        break;
    case NodeKind::Folder:
        break; // folders have no menu
    }
}

void Form1::showMenu(QMenu* menu) {
    menu->popup(QCursor::pos());
}

// ---------------------------------------------------------------------------
// The contents list

void Form1::ShowNode(QTreeWidgetItem* node) {
    if (!node || CatalogTree::numberOf(node) == lastShownNumber_)
        return;
    const QScopedValueRollback busy(showingNode_, true);
    shownKey_ = CatalogTree::keyOf(node);
    lastShownNumber_ = CatalogTree::numberOf(node);
    ContentsRow placeholder;
    placeholder.texts[0] = QStringLiteral("Loading Tree...");
    list_->contents().setRows({placeholder});
    YieldEvents(5);
    list_->contents().clearRows();
    const WaitCursor wait;
    const NodeKind kind = KindOfKey(shownKey_);
    if (kind == NodeKind::Volume || kind == NodeKind::Folder)
        showFolderRows(node);
    else
        showChildRows(node);
}

// The root or a category: a row for each category and volume inside, with
// the figures read at the last load.
void Form1::showChildRows(QTreeWidgetItem* node) {
    ShowVolumeColumns();
    std::vector<ContentsRow> rows;
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        const QString key = CatalogTree::keyOf(child);
        if (KindOfKey(key) == NodeKind::Category) {
            rows.push_back(categoryRow(key, child->text(0), CatalogTree::imageOf(child)));
            continue;
        }
        ContentsRow row{key, CatalogTree::imageOf(child), {}, {}};
        row.texts[0] = SmartCaps(QLatin1Char(' ') + child->text(0), smartCaps());
        const std::array<QString, 7> figures =
            VolumeFigureTexts(volumeCache_.value(CatalogTree::numberOf(child)), europeanDates());
        std::copy(figures.begin(), figures.end(), row.texts.begin() + 1);
        rows.push_back(std::move(row));
    }
    list_->contents().setRows(std::move(rows));
}

// A volume or folder: its sub-folders, then its files.
void Form1::showFolderRows(QTreeWidgetItem* node) {
    ShowFileColumns();
    ExpandAhead(node);
    QTreeWidgetItem* selected = tree_->currentItem();
    if (selected && KindOfKey(CatalogTree::keyOf(selected)) == NodeKind::Volume)
        setStatusText(VolumeStatusText(selected->text(0),
                                       volumeCache_.value(CatalogTree::numberOf(selected)),
                                       europeanDates()));
    else
        setStatusText(QStringLiteral(" "));
    const QString tablename = TableNameOf(shownKey_);
    const QString path = NodePathOf(shownKey_);
    std::vector<ContentsRow> rows;
    try {
        const Database db = state_.catalog().open();
        if (node->childCount() > 0) {
            for (ListingRow& folder : ReadFolderRows(db, tablename, path)) {
                ContentsRow row{
                    FolderKey(tablename, path, folder.name), QStringLiteral("closed"), {}, {}};
                row.texts = {SmartCaps(QLatin1Char(' ') + folder.name, smartCaps()), folder.size,
                             kFolderTypeText, DisplayDateText(folder.date, europeanDates()),
                             folder.description.value_or(QString())};
                rows.push_back(std::move(row));
            }
        }
        AddFileRows(db, tablename, path, rows);
    } catch (const CatalogError&) {
        // what could be read is shown
    }
    list_->contents().setRows(std::move(rows));
}

void Form1::AddFileRows(const Database& db, const QString& tablename, const QString& path,
                        std::vector<ContentsRow>& rows) {
    std::vector<ListingRow> files = ReadFileRows(db, tablename, path);
    rows.reserve(rows.size() + files.size());
    for (ListingRow& file : files) {
        ContentsRow row{{}, state_.fileTypes.FileIconKey(file.name), file.name, {}};
        row.texts = {SmartCaps(file.name, smartCaps()), std::move(file.size),
                     state_.fileTypes.FileTypeName(file.name),
                     DisplayDateText(file.date, europeanDates()),
                     file.description.value_or(QString())};
        rows.push_back(std::move(row));
    }
}

void Form1::ShowVolumeColumns() {
    list_->showVolumeColumns(europeanDates());
}

void Form1::ShowFileColumns() {
    list_->showFileColumns(europeanDates());
}

void Form1::SaveColumnWidths() {
    list_->saveColumnWidths();
}

void Form1::lstTel_ColumnClick(int column) {
    SaveColumnWidths();
    list_->toggleSortBy(column);
}

void Form1::lstTel_DblClick() {
    const std::optional<int> selected = list_->selectedRow();
    if (!selected)
        return;
    const ContentsRow& row = list_->contents().row(*selected);
    if (row.key.isEmpty()) {
        QString volumeName;
        try {
            volumeName = VolumeNameOfKey(state_.catalog().open(), shownKey_);
        } catch (const CatalogError&) {
        }
        fileOpener_->open(shownKey_, row.fileName, volumeName);
        return;
    }
    QTreeWidgetItem* node = tree_->node(row.key);
    if (!node)
        return;
    {
        const QScopedValueRollback quiet(quietExpansion_, true);
        tree_->scrollToItem(node);
        tree_->setCurrentItem(node);
    }
    ShowNode(node);
}

void Form1::lstTel_KeyDown(int key) {
    if (key == Qt::Key_Delete)
        findChild<QAction*>(QStringLiteral("filesDelete"))->trigger();
}

void Form1::lstTel_MouseUp(Qt::MouseButton button) {
    if (button != Qt::RightButton)
        return;
    const std::optional<int> selected = list_->selectedRow();
    if (!selected || KindOfKey(list_->contents().row(*selected).key) == NodeKind::Category)
        return;
    showMenu(contextMenus_.value(QStringLiteral("files")));
}

// ---------------------------------------------------------------------------
// Events of the tree, the list, the logo and the background

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool onTree = watched == tree_ || watched == tree_->viewport();
    const bool onList = watched == list_ || watched == list_->viewport();

    if (type == QEvent::MouseMove && watched != logo_)
        buttons_->resetAll();

    if ((onTree || onList) && showingNode_ &&
        (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
         type == QEvent::MouseButtonDblClick || type == QEvent::KeyPress ||
         type == QEvent::KeyRelease))
        return true; // the list is being filled: clicks wait for it

    if (watched == logo_ &&
        (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease)) {
        if (type == QEvent::MouseButtonPress) {
            state_.sounds.play(cue::kClickDown);
        } else {
            state_.sounds.play(cue::kClickUp);
            ShowAbout();
        }
        return true;
    }

    if (watched == tree_->viewport()) {
        if (type == QEvent::MouseButtonPress) {
            expandedByPress_ = false;
        } else if (type == QEvent::MouseButtonRelease) {
            // A click on the expand button has shown the node already and
            // changes no picture.
            if (!expandedByPress_)
                LstPers_MouseUp(static_cast<QMouseEvent*>(event)->button());
            expandedByPress_ = false;
        }
    } else if (watched == tree_ && type == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            lstpers_KeyUp(key->key());
    } else if (watched == list_->viewport() && type == QEvent::MouseButtonRelease) {
        lstTel_MouseUp(static_cast<QMouseEvent*>(event)->button());
    } else if (watched == list_ && type == QEvent::KeyPress) {
        lstTel_KeyDown(static_cast<QKeyEvent*>(event)->key());
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Helpers

QString Form1::chooseDrive(const QString& current, const QString& volumeName) {
    buttons_->resetAll();
    YieldEvents(50);
    state_.sounds.play(cue::kOpenWindow);
    QStringList drives;
    for (const Drive& drive : state_.drives.drives())
        drives << drive.display();
    DriveChooser chooser(drives, current, volumeName, this);
    chooser.exec();
    return chooser.chosenDrive();
}

QString Form1::statusText() const {
    return status_->text();
}

void Form1::setStatusText(const QString& text) {
    status_->setText(text);
}

bool Form1::europeanDates() const {
    return state_.options().oDateFormat != 0;
}

bool Form1::smartCaps() const {
    return state_.options().oSmartCaps != 0;
}

QIcon Form1::iconFor(const QString& imageKey) const {
    return state_.images.icon(imageKey);
}

} // namespace kestro
