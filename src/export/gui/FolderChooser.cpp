#include "export/gui/FolderChooser.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QScopedValueRollback>

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
    // Once the chosen folder's parent is read, the tree shows it.
    connect(folders_, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        if (QFileInfo(folder_).path() == loaded)
            scrollTo(currentIndex(), QAbstractItemView::PositionAtCenter);
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (userChoosing_ && current.isValid())
                    choose(folders_->filePath(current));
            });
}

void FolderChooser::setFolder(const QString& path) {
    const QString folder = QDir::cleanPath(path);
    const QModelIndex index = folders_->index(folder);
    if (index.isValid()) {
        setCurrentIndex(index);
        scrollTo(index, QAbstractItemView::PositionAtCenter);
    }
    choose(folder);
}

void FolderChooser::mousePressEvent(QMouseEvent* event) {
    const QScopedValueRollback choosing(userChoosing_, true);
    QTreeView::mousePressEvent(event);
}

void FolderChooser::keyPressEvent(QKeyEvent* event) {
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
