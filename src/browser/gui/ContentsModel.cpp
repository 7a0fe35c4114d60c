#include "browser/gui/ContentsModel.h"

#include "platform/TextOrder.h"

#include <algorithm>
#include <numeric>

namespace kestro {

ContentsModel::ContentsModel(IconSource icons, QObject* parent)
    : QAbstractTableModel(parent), icons_(std::move(icons)) {}

void ContentsModel::setColumns(std::vector<ContentsColumn> columns) {
    beginResetModel();
    columns_ = std::move(columns);
    endResetModel();
}

void ContentsModel::setRows(std::vector<ContentsRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    order_.resize(rows_.size());
    std::iota(order_.begin(), order_.end(), size_t(0));
    if (sortingOn_)
        sortRows();
    endResetModel();
}

void ContentsModel::setText(int index, int column, const QString& text) {
    rows_[order_[size_t(index)]].texts[size_t(column)] = text;
    const QModelIndex changed = this->index(index, column);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole});
}

void ContentsModel::setSortingOn(bool on) {
    if (on == sortingOn_)
        return;
    sortingOn_ = on;
    if (on) {
        beginResetModel();
        sortRows();
        endResetModel();
    }
}

void ContentsModel::setSortOrder(int column, Qt::SortOrder order) {
    sortColumn_ = column;
    sortOrder_ = order;
    if (sortingOn_) {
        beginResetModel();
        sortRows();
        endResetModel();
    }
}

// The rows themselves stay where they are; only the order in which they are
// shown changes.
void ContentsModel::sortRows() {
    const size_t column = size_t(std::clamp(sortColumn_, 0, ContentsRow::kMaxColumns - 1));
    order_ = TextOrder(
        rows_.size(), [&](size_t row) -> const QString& { return rows_[row].texts[column]; },
        sortOrder_ == Qt::AscendingOrder);
}

int ContentsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int ContentsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant ContentsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= int(columns_.size()))
        return {};
    const ContentsRow& r = row(index.row());
    switch (role) {
    case Qt::DisplayRole: {
        // Figures are right-aligned in fixed-width texts, which sorts them;
        // on screen the alignment does that, and the padding must not make
        // a narrow column cut the figure short.
        const QString& text = r.texts[size_t(index.column())];
        return columns_[size_t(index.column())].alignment & Qt::AlignRight ? text.trimmed() : text;
    }
    case Qt::DecorationRole:
        return index.column() == 0 && !r.imageKey.isEmpty() ? QVariant(iconOf(r.imageKey))
                                                            : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columns_[size_t(index.column())].alignment | Qt::AlignVCenter);
    case KeyRole:
        return r.key;
    case ImageKeyRole:
        return r.imageKey;
    default:
        return {};
    }
}

QVariant ContentsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= int(columns_.size()))
        return {};
    if (role == Qt::DisplayRole)
        return columns_[size_t(section)].header;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columns_[size_t(section)].alignment | Qt::AlignVCenter);
    return {};
}

QIcon ContentsModel::iconOf(const QString& imageKey) const {
    auto found = iconCache_.constFind(imageKey);
    if (found == iconCache_.constEnd())
        found = iconCache_.insert(imageKey, icons_(imageKey));
    return *found;
}

} // namespace kestro
