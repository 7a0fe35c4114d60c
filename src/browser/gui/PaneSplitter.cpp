#include "browser/gui/PaneSplitter.h"

#include <algorithm>

namespace kestro {

PaneSplitter::PaneSplitter(QWidget* tree, QWidget* list, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent), listWidth_(list->sizeHint().width()) {
    setObjectName(QStringLiteral("panes"));
    addWidget(tree);
    addWidget(list);
    tree->setMinimumWidth(kNarrowest);
    list->setMinimumWidth(kNarrowest);
    setChildrenCollapsible(false);
    setOpaqueResize(false);
    setHandleWidth(kBarWidth);
    setStretchFactor(0, 1);
    setStretchFactor(1, 0);
    handle(1)->setObjectName(QStringLiteral("Splitter"));
    connect(this, &QSplitter::splitterMoved, this, [this] { listWidth_ = sizes().at(1); });
}

void PaneSplitter::setListWidth(int width) {
    listWidth_ = width;
    placeBar();
}

void PaneSplitter::resizeEvent(QResizeEvent* event) {
    QSplitter::resizeEvent(event);
    placeBar();
}

void PaneSplitter::placeBar() {
    const int room = width() - kBarWidth;
    const int list = std::max(kNarrowest, std::min(listWidth_, room - kNarrowest));
    setSizes({room - list, list});
    // Until the window is shown its panes have no real size yet, and the
    // width asked for must wait for it.
    if (isVisible())
        listWidth_ = sizes().at(1);
}

} // namespace kestro
