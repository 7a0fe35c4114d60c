// The main window's start-up and exit, the commands that change the current
// catalog, the options, the about box and help.

#include "browser/CatalogReader.h"
#include "browser/gui/AboutBox.h"
#include "browser/gui/CatalogTree.h"
#include "browser/gui/ContentsList.h"
#include "browser/gui/Form1.h"
#include "browser/gui/HelpWindow.h"
#include "browser/gui/PaneSplitter.h"
#include "browser/gui/PictureButtonRow.h"
#include "browser/gui/ProgramLogo.h"
#include "browser/gui/SplashWindow.h"
#include "browser/gui/WaitCursor.h"
#include "catalog/CatalogError.h"
#include "catalog/CatalogFile.h"
#include "catalog/NodeKey.h"
#include "platform/CatalogLocation.h"
#include "platform/ProgramFolder.h"
#include "platform/Twips.h"
#include "platform/Version.h"
#include "platform/YieldEvents.h"
#include "platform/gui/CatalogFileOpener.h"
#include "platform/gui/IconCache.h"
#include "platform/gui/Prompter.h"
#include "platform/gui/Shell.h"
#include "platform/gui/SoundPlayer.h"
#include "search/gui/SearchWindow.h"
#include "settings/gui/OptionsDialog.h"
#include "settings/gui/ProgramState.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <cmath>

namespace kestro {

namespace {

const QString kOpenTitle = QStringLiteral("Choose a database to open...");
const QString kNewTitle = QStringLiteral("Name your new database file...");
const QString kHostedTitle = QStringLiteral("Open Hosted Catalog");
const QString kHostedPrompt =
    QStringLiteral("The PostgreSQL database that holds the catalog, as a connection URI.\n"
                   "The password comes from ~/.pgpass or PGPASSWORD.");
const QString kHostedExample = QStringLiteral("postgresql://user@host:5432/dbname");
const QString kNotHostedMessage =
    QStringLiteral("A hosted catalog is named by a URI that begins with \"postgresql://\".");
const QString kPasswordGivenMessage =
    QStringLiteral("Leave the password out of the URI: Kestro Pro remembers the URI. Put the "
                   "password in ~/.pgpass or PGPASSWORD instead.");
const QString kCatalogFilter = QStringLiteral("Kestro Database files (*.mdb)");
const QString kCatalogSuffix = QStringLiteral("mdb");
constexpr int kExitPauseMs = 3000;

} // namespace

bool Form1::start() {
    SplashWindow splash(ProgramLogo(state_.images));
    splash.show();
    YieldEvents(25);
    state_.loadOptions();
    state_.sounds.play(cue::kStartup, SoundPlayer::Wait::UntilEnd);
    IconCache(
        state_.fileTypes, state_.images,
        [&splash](const QString& message) {
            splash.setMessage(message);
            YieldEvents(5); // the message shows before the work begins
        },
        [&splash](const QString& progress) {
            splash.setProgress(progress);
            YieldEvents(1);
        })
        .RefreshIconCache();
    setWindowTitle(ProgramCaption());
    state_.environment = state_.settingsFile().loadEnvironment();
    restoreLayout();
    ShowFileColumns();
    splash.setMessage(QStringLiteral("Loading database..."));
    YieldEvents(5);
    if (!loadCatalogAtStart(splash)) {
        state_.prompter.message(kNoValidFileMessage);
        return false;
    }
    RefreshViews();
    splash.hide();
    startupComplete_ = true;
    // Once the main window is up, the find tool opens over it.
    if (state_.options().oStartupMode != 0)
        QMetaObject::invokeMethod(this, &Form1::ShowSearch, Qt::QueuedConnection);
    return true;
}

// The catalog of the settings file, or one the user opens instead while it
// cannot be read or is no usable catalog. False when the user gives up. The
// splash window makes way for the first question.
bool Form1::loadCatalogAtStart(SplashWindow& splash) {
    for (;;) {
        // A hosted catalog shows whether it can be had by being opened.
        const QString& location = state_.environment.lastLoadedFile;
        if (isHostedLocation(location) || probeCatalogFile(location)) {
            try {
                state_.catalog().open();
                return true;
            } catch (const CatalogError& error) {
                splash.hide();
                state_.prompter.message(error.message());
            }
        }
        splash.hide();
        if (!OpenDatabase())
            return false;
    }
}

// A key the settings file lacks keeps the window's value. A list wider than
// the window leaves (the window was wider when it closed, maximized say) gets
// the share a first start gives it.
void Form1::restoreLayout() {
    const Environment& layout = state_.environment;
    const auto pixels = [](const std::optional<double>& twips, int current) {
        return twips ? TwipsToPixels(*twips) : current;
    };
    const QRect window(pixels(layout.windowLeft, x()), pixels(layout.windowTop, y()),
                       pixels(layout.windowWidth, width()), pixels(layout.windowHeight, height()));
    if (window.width() > 0 && window.height() > 0)
        setGeometry(window);
    const int room = width() - PaneSplitter::kBarWidth - PaneSplitter::kNarrowest;
    const bool fits = layout.splitterLeft && *layout.splitterLeft <= room;
    panes_->setListWidth(fits ? int(std::lround(*layout.splitterLeft)) : width() * 2 / 3);
}

void Form1::saveLayout() {
    Environment& layout = state_.environment;
    const QRect window = normalGeometry().isValid() ? normalGeometry() : geometry();
    layout.windowLeft = PixelsToTwips(window.x());
    layout.windowTop = PixelsToTwips(window.y());
    layout.windowWidth = PixelsToTwips(window.width());
    layout.windowHeight = PixelsToTwips(window.height());
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
    if (searchWindow_)
        searchWindow_->close();
    if (helpWindow_)
        helpWindow_->close();
    event->accept();
}

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

bool Form1::OpenHostedCatalog() {
    YieldEvents(50);
    state_.sounds.play(cue::kOpenWindow);
    const QString& current = state_.environment.lastLoadedFile;
    const std::optional<QString> given = state_.prompter.inputText(
        kHostedPrompt, kHostedTitle, isHostedLocation(current) ? current : kHostedExample);
    if (!given)
        return false;
    const QString uri = given->trimmed();
    if (!isHostedLocation(uri)) {
        state_.prompter.message(kNotHostedMessage);
        return false;
    }
    // What is remembered is never to hold a password.
    if (locationForDisplay(uri) != uri) {
        state_.prompter.message(kPasswordGivenMessage);
        return false;
    }
    state_.environment.lastLoadedFile = uri;
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
        state_.prompter.message(error.message());
    }
}

void Form1::RefreshViews() {
    // The caption names the current catalog, also one that cannot be shown.
    setWindowTitle(ProgramCaption() + QStringLiteral(" - ") +
                   locationForDisplay(state_.environment.lastLoadedFile) +
                   (state_.isReadOnly() ? QStringLiteral(" (read-only)") : QString()));
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
        // Category names as stored: only showing a node capitalises them.
        for (const CategoryEntry& category : catalog.categories)
            rows.push_back(categoryRow(category.key, QLatin1Char(' ') + category.name,
                                       QStringLiteral("cat_closed")));
        std::move(volumeRows.begin(), volumeRows.end(), std::back_inserter(rows));
        list_->contents().setRows(std::move(rows));
        tree_->setCurrentItem(tree_->node(RootKey()));
    } catch (const CatalogError& error) {
        // The views stay empty; the user can open or make another catalog.
        tree_->clearNodes();
        list_->contents().clearRows();
        state_.prompter.message(error.message());
    }
    Q_EMIT viewsRefreshed();
}

void Form1::ShowAbout() {
    prepareToOpenWindow();
    AboutBox about(ProgramLogo(state_.images), this);
    connect(&about, &AboutBox::helpRequested, this, &Form1::ShowHelp);
    about.exec();
}

// Confirmed options take effect at once: names, dates and the open mode of
// the catalog all come from them.
void Form1::ShowOptions() {
    prepareToOpenWindow();
    OptionsDialog options(state_, this);
    if (options.exec() == QDialog::Accepted)
        RefreshViews();
}

// The help document of the program folder, in the desktop's browser, or in
// a window of the program's own when the desktop has none.
void Form1::ShowHelp() {
    const QString help = state_.programFile(QStringLiteral("kestro2.html"));
    if (!QFileInfo(help).isFile()) {
        state_.prompter.message(kFileNotFoundMessage);
        return;
    }
    if (state_.shell.openDocument(help) != Shell::Outcome::NoApplication)
        return;
    if (!helpWindow_)
        helpWindow_ = std::make_unique<HelpWindow>(help);
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

} // namespace kestro
