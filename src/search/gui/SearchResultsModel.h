#pragma once

#include "search/SearchResult.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QTimer>
#include <deque>
#include <vector>

namespace kestro {

class ImageStore;

// The rows of the search window's result list, under the columns Filename,
// Type, Volume, Location, Size, Modified and Description.
//
// Rows arrive in small batches while a search runs: add() keeps them, and
// the list learns of all rows kept so far at the next showAdded(), after
// the rows shown, in the order found. The rows live in a deque, which grows
// without moving what it holds: a list of 100,000 rows takes new ones as
// fast as a list of ten.
//
// Once sorting is on (the first header click), the rows are shown in the
// order of the sort column's texts, compared as texts without regard to
// letter case; rows shown since take their sorted places when sortNewRows()
// is called, at the end of a search, so that a search of 100,000 rows is not
// sorted 4,000 times over.
class SearchResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Filename, Type, Volume, Location, Size, Modified, Description, ColumnCount };

    explicit SearchResultsModel(const ImageStore& images, QObject* parent = nullptr);

    // The Modified column's header: "Modified (Euro-Date)" with European dates.
    void setEuropeanDates(bool on);

    void clear();
    // Empties the list and hands over its rows, in the order found.
    std::deque<SearchResult> takeRows();
    // Rows no longer wanted. Freeing a million rows takes the better part of
    // a second, and freeing them beside the window would starve it of
    // memory: they are freed a few thousand at a time while the list is idle.
    void letGo(std::deque<SearchResult> rows);
    // Idle: no search is filling the list (at first).
    void setIdle(bool idle);
    void add(std::vector<SearchResult> rows);
    void showAdded();
    // The row shown at `row`.
    const SearchResult& result(int row) const { return rows_[order_[size_t(row)]]; }

    // A header click: sorting on, by `column`, in the other order than before.
    void toggleSortBy(int column);
    void sortNewRows();
    bool isSortingOn() const { return sortingOn_; }
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    // The text a row shows in a column; sizes keep the padding they are
    // stored with, which the screen does not show.
    static const QString& textOf(const SearchResult& row, int column);
    void sortRows();
    QIcon iconOf(const QString& iconKey) const;
    void freeSome();

    const ImageStore& images_;
    mutable QHash<QString, QIcon> icons_;
    std::deque<SearchResult> rows_; // in the order found, the first order_.size() shown
    std::vector<size_t> order_;     // indexes into rows_, in the order shown
    bool europeanDates_ = false;
    bool sortingOn_ = false;
    int sortColumn_ = Filename;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    std::vector<std::deque<SearchResult>> unwanted_; // let go of, not yet freed
    size_t rowsFreed_ = 0;                           // since the memory was last sorted
    QTimer freeing_;
    bool idle_ = true;
};

} // namespace kestro
