#include "search/gui/SearchWindow.h"

#include "catalog/CatalogError.h"
#include "catalog/DisplayRules.h"
#include "platform/Twips.h"
#include "platform/YieldEvents.h"
#include "platform/gui/CatalogFileOpener.h"
#include "platform/gui/Prompter.h"
#include "platform/gui/SoundPlayer.h"
#include "search/SearchScan.h"
#include "search/SearchState.h"
#include "search/gui/SearchResultsModel.h"
#include "search/gui/SearchTabs.h"
#include "settings/gui/ProgramState.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace kestro {

namespace {

const QString kCaption = QStringLiteral("Kestro Pro Find Tool");
const QString kEuropeanCaption = QStringLiteral("Kestro Pro Find Tool (Euro-Dates)");

// The window is never smaller than this, in twips.
constexpr double kLeastWidth = 5500;
constexpr double kLeastHeight = 3500;

// The buttons stand in a column this wide, in twips, at the right edge; the
// tab strip takes the width they leave. The result list spans the window.
constexpr double kButtonColumn = 1245;
constexpr int kMargin = 4;
constexpr int kGapBeforeButtons = 16;

// While a search runs, the list takes the rows found at most this often (in
// milliseconds): often enough to look live, rarely enough that 100,000 rows
// cost the list a few dozen updates rather than thousands. The first rows,
// a few screens full, are shown as soon as they are found.
constexpr qint64 kShowResultsEveryMs = 100;
constexpr int kRowsShownAtOnce = 1000;

// Whether `window` is one of the program's own windows, whose user coming
// back to the find tool makes it take up the catalog and its placement
// afresh: not a message box or file dialog over it, nor another program
// (no window of this one).
bool isProgramWindow(const QWidget* window) {
    return window && !qobject_cast<const QMessageBox*>(window) &&
           !qobject_cast<const QInputDialog*>(window) && !qobject_cast<const QFileDialog*>(window);
}

} // namespace

SearchWindow::SearchWindow(ProgramState& program, SearchState& search, HandOffs handOffs,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), program_(program), search_(search),
      handOffs_(std::move(handOffs)), tabs_(new SearchTabs(this)),
      results_(new SearchResultsModel(program.images, this)), listView1_(new QTreeView(this)),
      columns_(*listView1_), status_(new QLabel) {
    setObjectName(QStringLiteral("fSearch"));
    setWindowTitle(kCaption);
    setMinimumSize(TwipsToPixels(kLeastWidth), TwipsToPixels(kLeastHeight));

    findB_ = addButton("findB", QStringLiteral("&Find Now"));
    stopB_ = addButton("stopB", QStringLiteral("&Stop"));
    newB_ = addButton("newB", QStringLiteral("&Export"));
    quitB_ = addButton("QuitB", QStringLiteral("&Quit Kestro"));
    stopB_->setEnabled(false);
    connect(findB_, &QPushButton::clicked, this, &SearchWindow::findB_Click);
    connect(stopB_, &QPushButton::clicked, this, &SearchWindow::stopB_Click);
    connect(newB_, &QPushButton::clicked, this, &SearchWindow::newB_Click);
    connect(quitB_, &QPushButton::clicked, this, &SearchWindow::QuitB_Click);
    connect(tabs_, &SearchTabs::findRequested, findB_, [this] {
        if (findB_->isEnabled())
            findB_->click();
    });
    connect(tabs_, &SearchTabs::namedEdited, this, &SearchWindow::Input1_Change);

    listView1_->setObjectName(QStringLiteral("ListView1"));
    listView1_->setModel(results_);
    listView1_->setRootIsDecorated(false);
    listView1_->setItemsExpandable(false);
    listView1_->setUniformRowHeights(true);
    listView1_->setAllColumnsShowFocus(true);
    listView1_->setSelectionMode(QAbstractItemView::SingleSelection);
    listView1_->setSelectionBehavior(QAbstractItemView::SelectRows);
    listView1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    listView1_->setMinimumHeight(listView1_->fontMetrics().height() * 3);
    QHeaderView* header = listView1_->header();
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    connect(header, &QHeaderView::sectionClicked, this, &SearchWindow::ListView1_ColumnClick);
    connect(listView1_, &QAbstractItemView::doubleClicked, this, &SearchWindow::ListView1_DblClick);

    int buttonWidth = TwipsToPixels(kButtonColumn);
    for (QPushButton* button : {findB_, stopB_, newB_, quitB_})
        buttonWidth = std::max(buttonWidth, button->sizeHint().width());
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {findB_, stopB_, newB_, quitB_}) {
        button->setFixedWidth(buttonWidth);
        buttons->addWidget(button);
        if (button == stopB_)
            buttons->addStretch();
    }

    auto* grid = new QGridLayout;
    grid->setContentsMargins(kMargin, kMargin, kMargin, 0);
    grid->setHorizontalSpacing(kGapBeforeButtons);
    grid->addWidget(tabs_, 0, 0);
    grid->addLayout(buttons, 0, 1);
    grid->addWidget(listView1_, 1, 0, 1, 2);
    grid->setRowStretch(1, 1);

    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusBar1"));
    status_->setObjectName(QStringLiteral("statusText"));
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar->addWidget(status_, 1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(grid, 1);
    column->addWidget(statusBar);

    showColumns();
}

SearchWindow::~SearchWindow() = default;

QPushButton* SearchWindow::addButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    return button;
}

void SearchWindow::open() {
    leftForProgramWindow_ = true;
    loadPlacement();
    show();
    raise();
    activateWindow();
}

QString SearchWindow::statusText() const {
    return status_->text();
}

// ---------------------------------------------------------------------------
// Activation, placement and closing

void SearchWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (!isActiveWindow())
        leftForProgramWindow_ = isProgramWindow(QApplication::activeWindow());
    else if (leftForProgramWindow_)
        Form_Activate();
}

void SearchWindow::Form_Activate() {
    if (activating_)
        return; // the events let through below may activate it again
    const QScopedValueRollback guard(activating_, true);
    YieldEvents(50);
    program_.sounds.play(cue::kOpenWindow);
    Q_EMIT activated();
    loadPlacement();
    const bool european = program_.options().oDateFormat != 0;
    setWindowTitle(european ? kEuropeanCaption : kCaption);
    tabs_->setEuropeanDates(european);
    // Stop stays usable when the window comes back during a search.
    stopB_->setEnabled(searching_);
    tabs_->setCurrentIndex(0);
    completed_.reset(); // the catalog, its volumes or the options may have changed

    std::vector<CatalogVolume> volumes;
    try {
        volumes = ListVolumes(program_.catalog().open());
    } catch (const CatalogError& error) {
        // Said in the status bar: the window opens all the same, with
        // nothing to look in.
        setStatus(error.message());
    }
    tabs_->setVolumes(volumes);
    if (volumes.empty())
        return;
    showColumns();
    tabs_->setTableKinds(program_.options().oSearchFiles != 0, program_.options().oSearchDirs != 0);
    tabs_->focusName();
}

// The columns fit their headers and the rows found; a width the user drags
// holds until the window is activated again.
void SearchWindow::showColumns() {
    results_->setEuropeanDates(program_.options().oDateFormat != 0);
    columns_.reset({});
}

void SearchWindow::loadPlacement() {
    if (isMinimized() || isMaximized())
        return;
    const SearchPlacement placement = program_.settingsFile().loadSearchPlacement();
    setGeometry(TwipsToPixels(placement.left), TwipsToPixels(placement.top),
                TwipsToPixels(placement.width), TwipsToPixels(placement.height));
}

void SearchWindow::savePlacement() {
    const QRect window = normalGeometry().isValid() ? normalGeometry() : geometry();
    program_.settingsFile().saveSearchPlacement(
        {PixelsToTwips(window.x()), PixelsToTwips(window.y()), PixelsToTwips(window.width()),
         PixelsToTwips(window.height())});
}

void SearchWindow::closeEvent(QCloseEvent* event) {
    savePlacement();
    if (searching_)
        search_.requestAbort(); // the results go when the search has ended
    else
        clearResults();
    setStatus(QString());
    event->accept();
}

// ---------------------------------------------------------------------------
// The buttons and the result list

void SearchWindow::Input1_Change() {
    if (program_.options().oSearchAsYouType == 0)
        return;
    if (searching_) {
        retyped_ = true;
        search_.requestAbort();
        return;
    }
    const SearchRequest request = tabs_->request();
    if (!request.searchFiles && !request.searchFolders)
        return; // said by "&Find Now", not at every keystroke
    if (request.criteria.named.isEmpty()) {
        clearResults();
        setStatus(QString());
        return;
    }
    search(true);
}

void SearchWindow::findB_Click() {
    if (tabs_->duplicatesChosen())
        findDuplicates();
    else
        search(false);
}

void SearchWindow::search(bool typed) {
    if (searching_)
        return;
    {
        const QScopedValueRollback busy(searching_, true);
        const Catalog catalog = program_.catalog();
        const SearchRequest request = tabs_->request();
        SearchScan scan(catalog, program_.fileTypes, search_, *this);
        // Read before the search: a change committed while it reads then
        // makes the next search read the catalog again.
        const QByteArray stamp = catalog.stamp();
        const bool narrows = typed && completed_ && NarrowsSearch(*completed_, request) &&
                             !completedStamp_.isEmpty() && completedStamp_ == stamp;
        SearchOutcome outcome;
        if (narrows) {
            std::deque<SearchResult> earlierRows = results_->takeRows();
            outcome = scan.narrow(request, earlierRows);
            results_->letGo(std::move(earlierRows));
        } else {
            outcome = scan.run(request);
        }
        completed_.reset();
        if (outcome.result == SearchOutcome::Result::Completed) {
            completed_ = request;
            completedStamp_ = stamp;
        }
    }
    if (!isVisible()) { // closed while searching
        retyped_ = false;
        clearResults();
        setStatus(QString());
    }
    if (std::exchange(retyped_, false))
        QTimer::singleShot(0, this, &SearchWindow::Input1_Change);
}

void SearchWindow::findDuplicates() {
    if (searching_)
        return;
    const QScopedValueRollback busy(searching_, true);
    DuplicatesRequest request = tabs_->duplicatesRequest();
    clearResults();
    setBusy(true);
    setStatus(QStringLiteral("Looking for copies..."));
    yieldEvents(10);
    QString totals;
    try {
        const Database db = program_.catalog().open();
        request.criteria.volumes = request.volumes.resolve(db);
        request.criteria.fileTypes = &program_.fileTypes;
        if (request.singleCopies) {
            singleCopies_ = FindSingleCopies(db, request.criteria);
            addResults(singleCopies_);
            listed_ = Listed::SingleCopies;
            totals = CountText(qint64(singleCopies_.size())).trimmed() +
                     QStringLiteral(" files no other volume holds");
        } else {
            copies_ = FindDuplicates(db, request.criteria);
            qint64 files = 0;
            for (const DuplicateGroup& group : copies_) {
                addResults(group.files);
                files += group.count();
            }
            listed_ = Listed::Copies;
            totals = CountText(files).trimmed() +
                     QStringLiteral(" files held more than once, in ") +
                     CountText(qint64(copies_.size())).trimmed() + QStringLiteral(" groups");
        }
    } catch (const CatalogError& error) {
        message(error.message());
        totals = QStringLiteral("Looking for copies FAILED");
    }
    setBusy(false);
    setStatus(totals);
}

void SearchWindow::exportDuplicates() {
    const std::optional<QString> path = program_.prompter.saveFileName(
        QStringLiteral("Export Duplicates"), QDir::homePath(),
        QStringLiteral("Comma-separated values (*.csv)"), QStringLiteral("csv"));
    if (!path)
        return;
    const QByteArray csv =
        listed_ == Listed::Copies ? DuplicatesCsv(copies_) : SingleCopiesCsv(singleCopies_);
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv) < 0 || !file.commit())
        message(QStringLiteral("The list could not be written to %1: %2")
                    .arg(*path, file.errorString()));
}

void SearchWindow::stopB_Click() {
    search_.requestAbort();
}

void SearchWindow::newB_Click() {
    if (results_->rowCount() == 0)
        return;
    if (listed_ == Listed::SearchResults)
        handOffs_.exportResults(this);
    else
        exportDuplicates();
}

void SearchWindow::QuitB_Click() {
    if (searching_)
        search_.requestAbort();
    handOffs_.quitProgram();
}

void SearchWindow::ListView1_ColumnClick(int column) {
    results_->toggleSortBy(column);
    listView1_->header()->setSortIndicatorShown(true);
    listView1_->header()->setSortIndicator(results_->sortColumn(), results_->sortOrder());
    columns_.fit(); // the headers now show where the sort is
}

void SearchWindow::ListView1_DblClick() {
    const QModelIndexList selected = listView1_->selectionModel()->selectedRows();
    if (results_->rowCount() == 0 || selected.isEmpty())
        return;
    const SearchResult& row = results_->result(selected.first().row());
    // The opener takes a folder key: the volume's identifier, "_", drive and
    // folder. A volume's root row ("W:", no location) opens the root folder
    // itself.
    const QString volume = row.tablename + QLatin1Char('_');
    if (row.location.isEmpty())
        handOffs_.fileOpener.open(volume + row.name, QString(), row.volume);
    else
        handOffs_.fileOpener.open(volume + row.location, row.name, row.volume);
}

// ---------------------------------------------------------------------------
// What the search shows

void SearchWindow::clearResults() {
    completed_.reset();
    listed_ = Listed::SearchResults;
    copies_.clear();
    singleCopies_.clear();
    sinceResultsShown_.invalidate();
    results_->clear();
}

void SearchWindow::addResults(std::vector<SearchResult> rows) {
    results_->add(std::move(rows));
    const bool first = !sinceResultsShown_.isValid();
    if (first || results_->rowCount() < kRowsShownAtOnce ||
        sinceResultsShown_.hasExpired(kShowResultsEveryMs)) {
        results_->showAdded();
        sinceResultsShown_.start();
    }
    if (first)
        columns_.fit();
}

void SearchWindow::setBusy(bool busy) {
    results_->setIdle(!busy);
    if (!busy) {
        results_->showAdded();
        results_->sortNewRows();
        columns_.fit();
    }
    findB_->setEnabled(!busy);
    newB_->setEnabled(!busy);
    stopB_->setEnabled(busy);
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

void SearchWindow::setStatus(const QString& text) {
    status_->setText(text);
}

void SearchWindow::yieldEvents(int times) {
    YieldEvents(times);
}

void SearchWindow::message(const QString& text) {
    program_.prompter.message(text);
}

} // namespace kestro
