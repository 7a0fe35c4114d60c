#pragma once

#include "browser/gui/IconSource.h"

#include <QHash>
#include <QString>
#include <QTreeWidget>

namespace kestro {

// The catalog tree: every node carries its key, its image key (shown while
// it is collapsed), its expanded image key, and a number given in order of
// addition that stays fixed until the tree is cleared. Nodes are found by key.
class CatalogTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit CatalogTree(IconSource icons, QWidget* parent = nullptr);

    // Removes every node and starts the numbering again.
    void clearNodes();

    // Adds a node as the last child of the node `parentKey` (a top-level node
    // for an empty key, or when no node has that key).
    QTreeWidgetItem* addNode(const QString& parentKey, const QString& key, const QString& text,
                             const QString& image, const QString& expandedImage);

    QTreeWidgetItem* node(const QString& key) const { return nodes_.value(key); }

    static QString keyOf(const QTreeWidgetItem* node);
    static int numberOf(const QTreeWidgetItem* node);
    static QString imageOf(const QTreeWidgetItem* node);
    static QString expandedImageOf(const QTreeWidgetItem* node);
    void setImage(QTreeWidgetItem* node, const QString& image);

    // Marks a volume node online, its picture with a green dot and its tool
    // tip saying where (`where`); an empty text marks it offline.
    void setOnline(QTreeWidgetItem* node, const QString& where);
    static QString onlineAt(const QTreeWidgetItem* node);

    QString selectedKey() const { return currentItem() ? keyOf(currentItem()) : QString(); }

    // Opens the editor on the node's text; labelEdited() tells the text the
    // user confirmed. The tree keeps that text; whoever saves it restores the
    // old one when the change is refused.
    void startLabelEdit(QTreeWidgetItem* node);

Q_SIGNALS:
    void labelEdited(const QString& key, const QString& oldText, const QString& newText);

protected:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void showImage(QTreeWidgetItem* node);

    IconSource icons_;
    QHash<QString, QTreeWidgetItem*> nodes_;
    int nextNumber_ = 1;
    QString editedText_;
};

} // namespace kestro
