#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace kestro {

// The order in which a list shows its rows sorted by the texts of one
// column: texts compared without regard to letter case, rows of equal texts
// in the order they came. `textOf(row)` is the text of row `row`, for rows 0
// to `rows` - 1; the result holds the row numbers in the order shown.
std::vector<size_t> TextOrder(size_t rows, const std::function<const QString&(size_t)>& textOf,
                              bool ascending);

} // namespace kestro
