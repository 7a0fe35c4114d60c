#include "platform/gui/ColumnFitter.h"

#include <QHeaderView>
#include <QTreeView>
#include <algorithm>

namespace kestro {

namespace {

// Texts of about the same length may differ in width ("iiii", "WWWW"): this
// many of the longest are measured.
constexpr size_t kMeasuredRows = 16;

} // namespace

QList<int> ColumnFitter::LongestTexts(int rowCount, const std::function<qsizetype(int)>& lengthOf) {
    std::vector<std::pair<qsizetype, int>> lengths; // (characters, row)
    lengths.reserve(size_t(rowCount));
    for (int row = 0; row < rowCount; ++row)
        lengths.emplace_back(lengthOf(row), row);
    const size_t measured = std::min(kMeasuredRows, lengths.size());
    std::partial_sort(lengths.begin(), lengths.begin() + qsizetype(measured), lengths.end(),
                      [](const auto& a, const auto& b) { return a.first > b.first; });
    QList<int> rows;
    for (size_t i = 0; i < measured; ++i)
        rows.append(lengths[i].second);
    return rows;
}

int ColumnFitter::FittedWidth(const QTreeView& view, int column) {
    const QAbstractItemModel& model = *view.model();
    const QVariant named = model.headerData(column, Qt::Horizontal, kLongestTextsRole);
    const QList<int> rows =
        named.isValid() ? named.value<QList<int>>() : LongestTexts(model.rowCount(), [&](int row) {
            return model.index(row, column).data().toString().size();
        });
    int width = view.header()->sectionSizeHint(column);
    for (const int row : rows)
        width = std::max(width, view.sizeHintForIndex(model.index(row, column)).width());
    return width;
}

void ColumnFitter::reset(const std::vector<std::optional<int>>& widths) {
    const int columns = view_.header()->count();
    set_.assign(size_t(columns), std::nullopt);
    fitted_.assign(size_t(columns), -1);
    for (int i = 0; i < columns && size_t(i) < widths.size(); ++i)
        set_[size_t(i)] = widths[size_t(i)];
    for (int i = 0; i < columns; ++i)
        if (set_[size_t(i)])
            view_.header()->resizeSection(i, std::max(1, *set_[size_t(i)]));
    fitUnset();
}

void ColumnFitter::fit() {
    set_ = setWidths(); // a width dragged since the last fit is the user's
    fitUnset();
}

void ColumnFitter::fitUnset() {
    for (size_t i = 0; i < set_.size(); ++i) {
        if (set_[i])
            continue;
        fitted_[i] = FittedWidth(view_, int(i));
        view_.header()->resizeSection(int(i), fitted_[i]);
    }
}

std::vector<std::optional<int>> ColumnFitter::setWidths() const {
    std::vector<std::optional<int>> widths = set_;
    for (size_t i = 0; i < widths.size(); ++i) {
        const int now = view_.header()->sectionSize(int(i));
        if (widths[i] || now != fitted_[i])
            widths[i] = now;
    }
    return widths;
}

} // namespace kestro
