#pragma once

#include <optional>
#include <vector>

class QTreeView;

namespace kestro {

// Keeps the columns of a list as wide as their headers and texts need, with
// the view's own font and style, except a column whose width is set: given
// by the caller (a width the user chose in an earlier session) or dragged
// by the user since. Only the rows with the longest texts of a column are
// measured, so a list of 100,000 rows is fitted in a moment.
class ColumnFitter {
public:
    explicit ColumnFitter(QTreeView& view) : view_(view) {}

    // Starts over with the view's columns: a column given a width gets it,
    // the others are fitted to what the view holds now.
    void reset(const std::vector<std::optional<int>>& widths);
    // Fits again the columns whose width is not set, to the rows the view
    // holds now.
    void fit();
    // Each column's width when it is set, nothing when it is fitted.
    std::vector<std::optional<int>> setWidths() const;

    // The width column `column` of `view` needs for its header and texts.
    static int FittedWidth(const QTreeView& view, int column);

private:
    void fitUnset();

    QTreeView& view_;
    std::vector<std::optional<int>> set_;
    std::vector<int> fitted_; // the width each column was last fitted to
};

} // namespace kestro
