#include "export/gui/FolderChooser.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QScopedValueRollback>
#include <QScrollBar>

namespace kestro {

FolderChooser::FolderChooser(QWidget* parent)
    : QTreeView(parent), folders_(new QFileSystemModel(this)) {
    folders_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    folders_->setRootPath(QDir::rootPath());
    setModel(folders_);
    // The name alone: size, type and date say nothing about a folder.
    for (int column = 1; column < folders_->columnCount(); ++column)
        hideColumn(column);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The folders along the chosen one's path are read, then sorted, in the
    // background: until the user moves about the tree, it keeps the chosen
    // folder in view as rows arrive and move.
    const auto showChosen = [this] {
        if (!userMoved_ && currentIndex().isValid())
            scrollTo(currentIndex(), QAbstractItemView::PositionAtCenter);
    };
    connect(folders_, &QFileSystemModel::directoryLoaded, this, showChosen);
    connect(folders_, &QAbstractItemModel::layoutChanged, this, showChosen);
    connect(verticalScrollBar(), &QScrollBar::sliderPressed, this, [this] { userMoved_ = true; });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (userChoosing_ && current.isValid())
                    choose(folders_->filePath(current));
            });
}

void FolderChooser::setFolder(const QString& path) {
    const QString folder = QDir::cleanPath(path);
    const QModelIndex index = folders_->index(folder);
    userMoved_ = false;
    if (index.isValid()) {
        setCurrentIndex(index);
        scrollTo(index, QAbstractItemView::PositionAtCenter);
    }
    choose(folder);
}

void FolderChooser::wheelEvent(QWheelEvent* event) {
    userMoved_ = true;
    QTreeView::wheelEvent(event);
}

void FolderChooser::mousePressEvent(QMouseEvent* event) {
    userMoved_ = true;
    const QScopedValueRollback choosing(userChoosing_, true);
    QTreeView::mousePressEvent(event);
}

void FolderChooser::keyPressEvent(QKeyEvent* event) {
    userMoved_ = true;
    const QScopedValueRollback choosing(userChoosing_, true);
    QTreeView::keyPressEvent(event);
}

void FolderChooser::choose(const QString& folder) {
    if (folder == folder_)
        return;
    folder_ = folder;
    Q_EMIT folderChanged(folder_);
}

} // namespace kestro
