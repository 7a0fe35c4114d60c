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
    : QTreeView(parent), layout_(layout), model_(new ContentsModel(std::move(icons), this)) {
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
                               const double* widths) {
    if (mode_ != ListMode::None)
        saveColumnWidths();
    model_->setColumns(std::move(columns));
    for (int i = 0; i < model_->columnCount(); ++i)
        header()->resizeSection(i, std::max(1, int(std::lround(widths[i]))));
    mode_ = mode;
    header()->setSortIndicatorShown(model_->isSortingOn());
    header()->setSortIndicator(model_->sortColumn(), model_->sortOrder());
}

void ContentsList::saveColumnWidths() {
    double* widths = nullptr;
    size_t count = 0;
    if (mode_ == ListMode::Volumes) {
        widths = layout_.volumeColumnWidths.data();
        count = layout_.volumeColumnWidths.size();
    } else if (mode_ == ListMode::Files) {
        widths = layout_.fileColumnWidths.data();
        count = layout_.fileColumnWidths.size();
    }
    for (size_t i = 0; i < count && int(i) < header()->count(); ++i)
        widths[i] = header()->sectionSize(int(i));
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
