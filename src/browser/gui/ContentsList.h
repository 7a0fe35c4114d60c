#pragma once

#include "browser/gui/ContentsModel.h"
#include "platform/gui/ColumnFitter.h"
#include "settings/Environment.h"

#include <QTreeView>
#include <optional>

namespace kestro {

// Which column set the contents list shows.
enum class ListMode { None = 0, Files = 1, Volumes = 2 };

// The contents list: the rows of the node last shown, under the file columns
// (Filename, Size, Type, Modified, Description) or the volume columns
// (Volume name, Capacity, Free, Used, Cataloged, Description, Directories,
// Files). A column takes the width of the window layout when the user set
// one, and is otherwise fitted to its header and the texts it shows; the
// widths the user set are kept in the layout whenever a column set is
// replaced.
class ContentsList : public QTreeView {
    Q_OBJECT
public:
    ContentsList(Environment& layout, IconSource icons, QWidget* parent = nullptr);

    ContentsModel& contents() { return *model_; }
    ListMode mode() const { return mode_; }

    // Replace the column set. The volume columns show rows in the order they
    // are added, the file columns keep them sorted.
    void showVolumeColumns(bool europeanDates);
    void showFileColumns(bool europeanDates);
    // Copies the widths of the column set shown that the user set into the
    // window layout.
    void saveColumnWidths();

    // A header click: sort by that column, in the other order than before.
    void toggleSortBy(int column);

    // The row the user picked: the current row when it is selected, else the
    // first selected one; nothing without a selection.
    std::optional<int> selectedRow() const;
    // Every selected row, in the order shown.
    std::vector<int> selectedRows() const;

private:
    void showColumns(ListMode mode, std::vector<ContentsColumn> columns,
                     const std::optional<double>* widths);

    Environment& layout_;
    ContentsModel* model_;
    ColumnFitter fitter_;
    ListMode mode_ = ListMode::None;
};

} // namespace kestro
