#pragma once

#include "browser/gui/IconSource.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace kestro {

// One row of the contents list: the texts of its columns, its image key, and
// the key of the tree node it stands for (empty for a file). A file or folder
// row also keeps the stored name, which its shown text may have capitalised.
struct ContentsRow {
    static constexpr int kMaxColumns = 9;

    QString key;
    QString imageKey;
    QString fileName;
    std::array<QString, kMaxColumns> texts;
};

// A column of the contents list.
struct ContentsColumn {
    QString header;
    Qt::Alignment alignment;
};

// The rows of the contents list. While sorting is on, rows are kept in the
// order of the shown texts of the sort column, compared as texts without
// regard to letter case; while it is off they stay in the order they came.
class ContentsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int KeyRole = Qt::UserRole;
    static constexpr int ImageKeyRole = Qt::UserRole + 1;

    explicit ContentsModel(IconSource icons, QObject* parent = nullptr);

    void setColumns(std::vector<ContentsColumn> columns);
    void setRows(std::vector<ContentsRow> rows);
    void clearRows() { setRows({}); }
    // The row shown at `index`.
    const ContentsRow& row(int index) const { return rows_[order_[size_t(index)]]; }
    // Changes one text of the row shown at `index`; the row keeps its place.
    void setText(int index, int column, const QString& text);

    void setSortingOn(bool on);
    bool isSortingOn() const { return sortingOn_; }
    void setSortOrder(int column, Qt::SortOrder order);
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void sortRows();
    QIcon iconOf(const QString& imageKey) const;

    IconSource icons_;
    mutable QHash<QString, QIcon> iconCache_;
    std::vector<ContentsColumn> columns_;
    std::vector<ContentsRow> rows_; // in the order they came
    std::vector<size_t> order_;     // indexes into rows_, in the order shown
    bool sortingOn_ = false;
    int sortColumn_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

} // namespace kestro
