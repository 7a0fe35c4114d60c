#include "browser/gui/ContentsList.h"

#include <QHeaderView>
#include <algorithm>
#include <cmath>

namespace kestro {

namespace {

constexpr Qt::Alignment kLeft = Qt::AlignLeft;
constexpr Qt::Alignment kRight = Qt::AlignRight;

} // namespace

ContentsList::ContentsList(Environment& layout, IconSource icons, QWidget* parent)
    : QTreeView(parent), layout_(layout), model_(new ContentsModel(std::move(icons), this)),
      fitter_(*this) {
    setModel(model_);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(true);
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setSortIndicatorShown(false);
    // New rows: the columns without a width of the user's fit them.
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        if (mode_ != ListMode::None)
            fitter_.fit();
    });
}

void ContentsList::showVolumeColumns(bool europeanDates) {
    model_->setSortingOn(false);
    showColumns(
        ListMode::Volumes,
        {{QStringLiteral("Volume name"), kLeft},
         {QStringLiteral("Capacity"), kRight},
         {QStringLiteral("Free"), kRight},
         {QStringLiteral("Used"), kRight},
         {europeanDates ? QStringLiteral("Cataloged (Euro-Date)") : QStringLiteral("Cataloged"),
          kLeft},
         {QStringLiteral("Description"), kLeft},
         {QStringLiteral("Directories"), kRight},
         {QStringLiteral("Files"), kRight}},
        layout_.volumeColumnWidths.data());
}

void ContentsList::showFileColumns(bool europeanDates) {
    model_->setSortingOn(true);
    showColumns(ListMode::Files,
                {{QStringLiteral("Filename"), kLeft},
                 {QStringLiteral("Size"), kRight},
                 {QStringLiteral("Type"), kLeft},
                 {europeanDates ? QStringLiteral("Euro-Date") : QStringLiteral("Modified"), kLeft},
                 {QStringLiteral("Description"), kLeft}},
                layout_.fileColumnWidths.data());
}

void ContentsList::showColumns(ListMode mode, std::vector<ContentsColumn> columns,
                               const std::optional<double>* widths) {
    if (mode_ != ListMode::None)
        saveColumnWidths();
    mode_ = ListMode::None; // until the new columns have their widths
    model_->setColumns(std::move(columns));
    header()->setSortIndicatorShown(model_->isSortingOn());
    header()->setSortIndicator(model_->sortColumn(), model_->sortOrder());
    std::vector<std::optional<int>> pixels;
    for (int i = 0; i < model_->columnCount(); ++i)
        pixels.push_back(widths[i] ? std::optional(int(std::lround(*widths[i]))) : std::nullopt);
    fitter_.reset(pixels);
    mode_ = mode;
}

void ContentsList::saveColumnWidths() {
    std::optional<double>* widths = mode_ == ListMode::Volumes ? layout_.volumeColumnWidths.data()
                                    : mode_ == ListMode::Files ? layout_.fileColumnWidths.data()
                                                               : nullptr;
    if (!widths)
        return;
    const std::vector<std::optional<int>> set = fitter_.setWidths();
    for (size_t i = 0; i < set.size(); ++i)
        widths[i] = set[i];
}

void ContentsList::toggleSortBy(int column) {
    const Qt::SortOrder order =
        model_->sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    model_->setSortOrder(column, order);
    model_->setSortingOn(true);
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(column, order);
}

std::optional<int> ContentsList::selectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isRowSelected(current.row(), {}))
        return current.row();
    return rows.first().row();
}

std::vector<int> ContentsList::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace kestro
