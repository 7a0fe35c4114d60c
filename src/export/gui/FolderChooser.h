#pragma once

#include <QTreeView>

class QFileSystemModel;

namespace kestro {

// The folders of the machine as a tree, to choose where something goes.
// folder() is the folder last chosen, by setFolder() or by the user's click
// or key, even when the tree does not show it (a hidden folder). The tree
// reads the folders in the background and follows changes on the disk,
// which may move its current row: that does not change the choice.
class FolderChooser : public QTreeView {
    Q_OBJECT
public:
    explicit FolderChooser(QWidget* parent = nullptr);

    const QString& folder() const { return folder_; }
    // Chooses `path` and shows it, its parents opened.
    void setFolder(const QString& path);

Q_SIGNALS:
    void folderChanged(const QString& path);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void choose(const QString& folder);

    QFileSystemModel* folders_;
    QString folder_;
    bool userChoosing_ = false;
    bool userMoved_ = false; // once the user moves about, the tree stays where they put it
};

} // namespace kestro
