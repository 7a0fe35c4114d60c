#include "search/gui/SearchResultsModel.h"

#include "platform/TextOrder.h"
#include "platform/gui/ColumnFitter.h"
#include "platform/gui/ImageStore.h"

#include <algorithm>
#include <iterator>
#include <malloc.h>
#include <numeric>

namespace kestro {

namespace {

// Rows let go of are freed this many at a time: a few milliseconds.
constexpr size_t kRowsFreedAtOnce = 4096;

// The length of a text without the spaces around it, as trimmed() would
// leave it, without making the trimmed copy.
qsizetype trimmedLength(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].isSpace())
        ++begin;
    while (end > begin && text[end - 1].isSpace())
        --end;
    return end - begin;
}

} // namespace

SearchResultsModel::SearchResultsModel(const ImageStore& images, QObject* parent)
    : QAbstractTableModel(parent), images_(images) {
    freeing_.setInterval(0);
    connect(&freeing_, &QTimer::timeout, this, &SearchResultsModel::freeSome);
}

void SearchResultsModel::setEuropeanDates(bool on) {
    if (on == europeanDates_)
        return;
    europeanDates_ = on;
    Q_EMIT headerDataChanged(Qt::Horizontal, Modified, Modified);
}

void SearchResultsModel::clear() {
    letGo(takeRows());
}

void SearchResultsModel::letGo(std::deque<SearchResult> rows) {
    if (rows.empty())
        return;
    unwanted_.push_back(std::move(rows));
    if (idle_)
        freeing_.start();
}

void SearchResultsModel::setIdle(bool idle) {
    idle_ = idle;
    if (idle_ && !unwanted_.empty())
        freeing_.start();
    else
        freeing_.stop();
}

void SearchResultsModel::freeSome() {
    for (size_t freed = 0; freed < kRowsFreedAtOnce && !unwanted_.empty(); ++freed) {
        unwanted_.back().pop_back();
        if (unwanted_.back().empty())
            unwanted_.pop_back();
        ++rowsFreed_;
    }
    if (unwanted_.empty())
        freeing_.stop();
    if (unwanted_.empty() && rowsFreed_ >= kRowsFreedAtOnce) {
        rowsFreed_ = 0;
        // The C library sorts the small blocks freed only at some later
        // request, a tenth of a second after 100,000 rows; now, while idle,
        // rather than inside the next search.
        malloc_trim(0);
    }
}

std::deque<SearchResult> SearchResultsModel::takeRows() {
    beginResetModel();
    std::deque<SearchResult> rows = std::exchange(rows_, {});
    order_.clear();
    endResetModel();
    return rows;
}

void SearchResultsModel::add(std::vector<SearchResult> rows) {
    std::move(rows.begin(), rows.end(), std::back_inserter(rows_));
}

void SearchResultsModel::showAdded() {
    const size_t shown = order_.size();
    if (rows_.size() == shown)
        return;
    beginInsertRows({}, int(shown), int(rows_.size() - 1));
    order_.resize(rows_.size());
    std::iota(order_.begin() + qsizetype(shown), order_.end(), shown);
    endInsertRows();
}

void SearchResultsModel::toggleSortBy(int column) {
    if (column >= Filename && column < ColumnCount)
        sortColumn_ = column;
    sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    sortingOn_ = true;
    sortNewRows();
}

void SearchResultsModel::sortNewRows() {
    if (!sortingOn_)
        return;
    beginResetModel();
    sortRows();
    endResetModel();
}

void SearchResultsModel::sortRows() {
    order_ = TextOrder(
        order_.size(),
        [&](size_t row) -> const QString& { return textOf(rows_[row], sortColumn_); },
        sortOrder_ == Qt::AscendingOrder);
}

const QString& SearchResultsModel::textOf(const SearchResult& row, int column) {
    switch (column) {
    case Type:
        return row.type;
    case Volume:
        return row.volume;
    case Location:
        return row.location;
    case Size:
        return row.size;
    case Modified:
        return row.modified;
    case Description:
        return row.description;
    default:
        return row.name;
    }
}

int SearchResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(order_.size());
}

int SearchResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SearchResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const SearchResult& row = result(index.row());
    switch (role) {
    case Qt::DisplayRole:
        // Sizes are right-aligned on screen; the stored padding would only
        // make a narrow column cut the figure short.
        return index.column() == Size ? row.size.trimmed() : textOf(row, index.column());
    case Qt::DecorationRole:
        return index.column() == Filename ? QVariant(iconOf(row.iconKey)) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (index.column() == Size ? Qt::AlignRight : Qt::AlignLeft));
    default:
        return {};
    }
}

QVariant SearchResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (section == Size ? Qt::AlignRight : Qt::AlignLeft));
    if (role == ColumnFitter::kLongestTextsRole)
        return QVariant::fromValue(ColumnFitter::LongestTexts(rowCount(), [&](int row) {
            const QString& text = textOf(result(row), section);
            return section == Size ? trimmedLength(text) : text.size();
        }));
    if (role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Type:
        return QStringLiteral("Type");
    case Volume:
        return QStringLiteral("Volume");
    case Location:
        return QStringLiteral("Location");
    case Size:
        return QStringLiteral("Size");
    case Modified:
        return europeanDates_ ? QStringLiteral("Modified (Euro-Date)") : QStringLiteral("Modified");
    case Description:
        return QStringLiteral("Description");
    default:
        return QStringLiteral("Filename");
    }
}

QIcon SearchResultsModel::iconOf(const QString& iconKey) const {
    auto found = icons_.constFind(iconKey);
    if (found == icons_.constEnd())
        found = icons_.insert(iconKey, images_.icon(iconKey));
    return *found;
}

} // namespace kestro
