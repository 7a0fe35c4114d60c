#include "browser/gui/Form1.h"

#include "browser/gui/CatalogTree.h"
#include "browser/gui/ContentsList.h"
#include "browser/gui/EditingCommands.h"
#include "browser/gui/HelpWindow.h"
#include "browser/gui/PaneSplitter.h"
#include "browser/gui/PictureButtonRow.h"
#include "browser/gui/ProgramLogo.h"
#include "cataloguing/gui/CatalogDialog.h"
#include "export/gui/ExportDialog.h"
#include "platform/DriveTable.h"
#include "platform/OnlineVolumes.h"
#include "platform/Twips.h"
#include "platform/Version.h"
#include "platform/YieldEvents.h"
#include "platform/gui/CatalogFileOpener.h"
#include "platform/gui/DriveChooser.h"
#include "platform/gui/ImageStore.h"
#include "platform/gui/Prompter.h"
#include "platform/gui/Shell.h"
#include "platform/gui/SoundPlayer.h"
#include "search/gui/SearchWindow.h"
#include "settings/gui/ProgramState.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QVBoxLayout>

namespace kestro {

namespace {

// The window is never lower than 6500 twips.
const int kLowestWindowHeight = TwipsToPixels(6500);

// The pictures of the image store, which outlives every window (the views ask
// for pictures up to their own end).
IconSource picturesOf(const ImageStore& images) {
    return [&images](const QString& key) { return images.icon(key); };
}

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

} // namespace

Form1::Form1(ProgramState& state, QWidget* parent)
    : QMainWindow(parent), state_(state), tree_(new CatalogTree(picturesOf(state.images))),
      list_(new ContentsList(state.environment, picturesOf(state.images))),
      panes_(new PaneSplitter(tree_, list_)), status_(new QLabel),
      online_(new OnlineVolumes(state.drives, this)),
      editing_(new EditingCommands(
          state, {*tree_, *list_, volumeCache_, shownKey_, [this] { RefreshViews(); }}, this)) {
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
    connect(tree_, &CatalogTree::labelEdited, editing_, &EditingCommands::LstPers_AfterLabelEdit);
    connect(list_, &QAbstractItemView::doubleClicked, this, &Form1::lstTel_DblClick);
    connect(list_->header(), &QHeaderView::sectionClicked, this, &Form1::lstTel_ColumnClick);

    connect(online_, &OnlineVolumes::changed, this, &Form1::showOnlineVolumes);

    fileOpener_ = std::make_unique<CatalogFileOpener>(
        state_.drives, online_->locator(), state_.shell, state_.prompter,
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
    connect(addCommand(file, "mnuOpenHosted", "Open &Hosted Catalog...", QKeySequence()),
            &QAction::triggered, this, &Form1::OpenHostedCatalog);
    file->addSeparator();
    connect(addCommand(file, "mnuExport", "&Export", QKeySequence("Ctrl+E")), &QAction::triggered,
            this, &Form1::ShowExport);
    connect(addCommand(file, "mnuNewCategory", "&New Category", QKeySequence("Ctrl+W")),
            &QAction::triggered, editing_, &EditingCommands::NewCategory);
    file->addSeparator();
    connect(addCommand(file, "mnuExit", "E&xit", QKeySequence("Ctrl+X")), &QAction::triggered, this,
            &Form1::ExitProgram);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    connect(addCommand(tools, "mnuCatalog", "&Catalog a Volume", QKeySequence("Ctrl+C")),
            &QAction::triggered, this, [this] {
                buttons_->resetAll();
                CatalogDialog::showFor(
                    state_, [this] { RefreshViews(); }, this);
            });
    connect(addCommand(tools, "mnuSearch", "&Search", QKeySequence("Ctrl+F")), &QAction::triggered,
            this, &Form1::ShowSearch);
    tools->addSeparator();
    connect(addCommand(tools, "mnuCompact", "C&ompact Database", QKeySequence("Ctrl+M")),
            &QAction::triggered, this, &Form1::CompactDatabase);
    tools->addSeparator();
    connect(addCommand(tools, "mnuOptions", "&Options", QKeySequence("Ctrl+T")),
            &QAction::triggered, this, &Form1::ShowOptions);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    connect(addCommand(help, "mnuHelp", "&Help Topics", QKeySequence(Qt::Key_F1)),
            &QAction::triggered, this, &Form1::ShowHelp);
    help->addSeparator();
    connect(addCommand(help, "mnuAbout", "&About Kestro Pro", QKeySequence("Ctrl+A")),
            &QAction::triggered, this, &Form1::ShowAbout);
}

QMenu* Form1::addContextMenu(const QString& name, const QString& title,
                             const QList<ContextEntry>& entries) {
    auto* menu = new QMenu(title, this);
    menu->setObjectName(name);
    for (const auto& [entryName, caption, command] : entries) {
        QAction* entry = menu->addAction(caption);
        entry->setObjectName(entryName);
        connect(entry, &QAction::triggered, editing_, command);
    }
    contextMenus_.insert(name, menu);
    return menu;
}

void Form1::buildContextMenus() {
    using E = EditingCommands;
    addContextMenu("volumes", "&Volumes",
                   {{"volumesRename", "&Rename", &E::StartRename},
                    {"volumesDelete", "&Delete", &E::DeleteNode}});
    addContextMenu("categories", "&Categories",
                   {{"categoriesDelete", "&Delete", &E::DeleteNode},
                    {"categoriesRename", "&Rename", &E::StartRename}});
    addContextMenu("root", "&Root",
                   {{"rootNewCategory", "&New Category", &E::NewCategory},
                    {"rootRename", "&Rename", &E::StartRename}});
    addContextMenu("files", "&Files",
                   {{"filesCategorize", "&Categorize", &E::Categorize},
                    {"filesDelete", "&Delete", &E::DeleteListItem},
                    {"filesDescribe", "&Describe", &E::Describe}});
}

void Form1::buildButtonRow(QWidget* top) {
    buttons_ = new PictureButtonRow(top);
    connect(buttons_, &PictureButtonRow::clickDown, this,
            [this] { state_.sounds.play(cue::kClickDown); });
    connect(buttons_, &PictureButtonRow::clickUp, this,
            [this] { state_.sounds.play(cue::kClickUp); });
    struct ButtonDefinition {
        const char* name;
        const char* picture;
        const char* toolTip;
        const char* command;
        bool yieldsFirst;
    };
    const ButtonDefinition definitions[] = {
        {"bNew", "document-new", " New Database ", "mnuNew", true},
        {"bOpen", "document-open", " Open a Database ", "mnuOpen", true},
        {"bExport", "document-save-as", " Export Data ", "mnuExport", false},
        {"bCatalog", "drive-optical", " Catalog a Disk ", "mnuCatalog", false},
        {"bCategory", "folder-new", " New Category ", "mnuNewCategory", false},
        {"bCompact", "package-x-generic", " Compact this Database ", "mnuCompact", false},
        {"bFind", "edit-find", " Search/Find ", "mnuSearch", false},
        {"bOptions", "preferences-system", " Options ", "mnuOptions", false},
    };
    for (const ButtonDefinition& definition : definitions) {
        QAction* command = findChild<QAction*>(QLatin1String(definition.command));
        const bool yieldsFirst = definition.yieldsFirst;
        PictureButton* button = buttons_->addButton(
            definition.name,
            buttonPicture(definition.picture, QString(definition.toolTip).trimmed(), palette()),
            definition.toolTip, [command, yieldsFirst] {
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
    logo_->setPixmap(logoPicture(ProgramLogo(state_.images), font(), palette()));
    logo_->setMouseTracking(true);
    logo_->installEventFilter(this);
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
// The find tool and the export dialog

void Form1::ShowSearch() {
    buttons_->resetAll();
    if (!searchWindow_) {
        searchWindow_ = std::make_unique<SearchWindow>(
            state_, searchState_,
            SearchWindow::HandOffs{*fileOpener_,
                                   [this](QWidget* over) {
                                       ExportDialog results(state_, searchState_, true, over);
                                       results.exec();
                                   },
                                   [this] { close(); }});
        connect(searchWindow_.get(), &SearchWindow::activated, buttons_,
                &PictureButtonRow::resetAll);
    }
    searchWindow_->open();
}

void Form1::ShowExport() {
    buttons_->resetAll();
    YieldEvents(50);
    ExportDialog volumes(state_, searchState_, false, this);
    volumes.exec();
}

// ---------------------------------------------------------------------------
// Helpers

void Form1::prepareToOpenWindow() {
    buttons_->resetAll();
    YieldEvents(50);
    state_.sounds.play(cue::kOpenWindow);
}

QString Form1::chooseDrive(const QString& current, const QString& volumeName) {
    prepareToOpenWindow();
    QStringList drives;
    for (const Drive& drive : state_.drives.letters())
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

} // namespace kestro
