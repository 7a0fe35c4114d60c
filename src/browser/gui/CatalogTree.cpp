#include "browser/gui/CatalogTree.h"

#include <QHeaderView>
#include <QPainter>

namespace kestro {

namespace {

enum Role {
    KeyRole = Qt::UserRole,
    NumberRole,
    ImageRole,
    ExpandedImageRole,
    OnlineRole,
};

// A volume's picture with a green dot in its lower right corner.
QIcon withOnlineMark(const QIcon& picture) {
    constexpr int kSize = 16;
    QPixmap marked = picture.pixmap(kSize, kSize);
    if (marked.isNull()) {
        marked = QPixmap(kSize, kSize);
        marked.fill(Qt::transparent);
    }
    const qreal scale = marked.devicePixelRatio();
    QPainter painter(&marked);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1.2));
    painter.setBrush(QColor(0x26, 0xa2, 0x69));
    painter.drawEllipse(QRectF(kSize * 0.55, kSize * 0.55, kSize * 0.42, kSize * 0.42));
    painter.end();
    marked.setDevicePixelRatio(scale);
    return QIcon(marked);
}

} // namespace

CatalogTree::CatalogTree(IconSource icons, QWidget* parent)
    : QTreeWidget(parent), icons_(std::move(icons)) {
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(true);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    connect(this, &QTreeWidget::itemExpanded, this, &CatalogTree::showImage);
    connect(this, &QTreeWidget::itemCollapsed, this, &CatalogTree::showImage);
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* node) {
        if (node->flags().testFlag(Qt::ItemIsEditable))
            Q_EMIT labelEdited(keyOf(node), editedText_, node->text(0));
    });
}

void CatalogTree::clearNodes() {
    clear();
    nodes_.clear();
    nextNumber_ = 1;
}

QTreeWidgetItem* CatalogTree::addNode(const QString& parentKey, const QString& key,
                                      const QString& text, const QString& image,
                                      const QString& expandedImage) {
    QTreeWidgetItem* parent = parentKey.isEmpty() ? nullptr : node(parentKey);
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(0, text);
    item->setData(0, KeyRole, key);
    item->setData(0, NumberRole, nextNumber_++);
    item->setData(0, ImageRole, image);
    item->setData(0, ExpandedImageRole, expandedImage);
    showImage(item);
    nodes_.insert(key, item);
    return item;
}

QString CatalogTree::keyOf(const QTreeWidgetItem* node) {
    return node->data(0, KeyRole).toString();
}

int CatalogTree::numberOf(const QTreeWidgetItem* node) {
    return node->data(0, NumberRole).toInt();
}

QString CatalogTree::imageOf(const QTreeWidgetItem* node) {
    return node->data(0, ImageRole).toString();
}

QString CatalogTree::expandedImageOf(const QTreeWidgetItem* node) {
    return node->data(0, ExpandedImageRole).toString();
}

void CatalogTree::setImage(QTreeWidgetItem* node, const QString& image) {
    node->setData(0, ImageRole, image);
    showImage(node);
}

void CatalogTree::setOnline(QTreeWidgetItem* node, const QString& where) {
    const QSignalBlocker quiet(this); // no label edit either
    node->setData(0, OnlineRole, where);
    node->setToolTip(0, where.isEmpty() ? QString() : QStringLiteral("Online at %1").arg(where));
    showImage(node);
}

QString CatalogTree::onlineAt(const QTreeWidgetItem* node) {
    return node->data(0, OnlineRole).toString();
}

// An expanded node shows its expanded image, a collapsed one its image.
void CatalogTree::showImage(QTreeWidgetItem* node) {
    const QString shown =
        node->isExpanded() && node->childCount() > 0 ? expandedImageOf(node) : imageOf(node);
    const QSignalBlocker quiet(this); // a picture is no label edit
    node->setIcon(0, onlineAt(node).isEmpty() ? icons_(shown) : withOnlineMark(icons_(shown)));
}

void CatalogTree::startLabelEdit(QTreeWidgetItem* node) {
    editedText_ = node->text(0);
    {
        const QSignalBlocker quiet(this);
        node->setFlags(node->flags() | Qt::ItemIsEditable);
    }
    editItem(node, 0);
}

// Labels are editable only while startLabelEdit's editor is open, also when
// the user cancels it.
void CatalogTree::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTreeWidget::closeEditor(editor, hint);
    if (QTreeWidgetItem* edited = currentItem()) {
        const QSignalBlocker quiet(this);
        edited->setFlags(edited->flags() & ~Qt::ItemIsEditable);
    }
}

} // namespace kestro
