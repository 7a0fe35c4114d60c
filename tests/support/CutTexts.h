#pragma once

#include <QHeaderView>
#include <QStringList>
#include <QTreeView>

namespace kestro::test {

// What `view` shows cut short: "header Size" for a header, "Type: JPEG
// image" for a cell, each narrower than its column needs; empty when every
// header and text shows whole.
inline QStringList cutTexts(const QTreeView& view) {
    QStringList cut;
    const QAbstractItemModel& model = *view.model();
    for (int column = 0; column < view.header()->count(); ++column) {
        const int width = view.header()->sectionSize(column);
        const QString title = model.headerData(column, Qt::Horizontal).toString();
        if (view.header()->sectionSizeHint(column) > width)
            cut << "header " + title;
        for (int row = 0; row < model.rowCount(); ++row) {
            const QModelIndex cell = model.index(row, column);
            if (view.sizeHintForIndex(cell).width() > width)
                cut << title + ": " + cell.data().toString();
        }
    }
    return cut;
}

} // namespace kestro::test
