#include "browser/gui/CategoryChooser.h"

#include "browser/CatalogReader.h"
#include "browser/gui/CatalogTree.h"
#include "catalog/CatalogError.h"
#include "catalog/NodeKey.h"
#include "platform/YieldEvents.h"
#include "platform/gui/ImageStore.h"
#include "platform/gui/Prompter.h"
#include "platform/gui/SoundPlayer.h"
#include "settings/gui/ProgramState.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace kestro {

CategoryChooser::CategoryChooser(ProgramState& state, QWidget* parent)
    : QDialog(parent), state_(state),
      treeView1_(new CatalogTree(
          [&images = state.images](const QString& key) { return images.icon(key); }, this)) {
    setObjectName(QStringLiteral("fCategorize"));
    setWindowTitle(QStringLiteral("Categorize"));
    treeView1_->setObjectName(QStringLiteral("TreeView1"));
    auto* command1 = new QPushButton(QStringLiteral("Choose Category"), this);
    command1->setObjectName(QStringLiteral("Command1"));
    command1->setDefault(true);
    connect(command1, &QPushButton::clicked, this, &CategoryChooser::Command1_Click);
    connect(treeView1_, &QTreeWidget::itemDoubleClicked, this, &CategoryChooser::Command1_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(treeView1_);
    layout->addWidget(command1, 0, Qt::AlignRight);
    resize(300, 320);
}

std::optional<int> CategoryChooser::choose(ProgramState& state, QWidget* parent) {
    CategoryChooser chooser(state, parent);
    if (!chooser.Form_Activate())
        return std::nullopt;
    chooser.exec();
    return chooser.chosen_;
}

bool CategoryChooser::Form_Activate() {
    YieldEvents(5);
    state_.sounds.play(cue::kOpenWindow);
    RootAndCategories catalog;
    try {
        catalog = ReadRootAndCategories(state_.catalog().open());
    } catch (const CatalogError& error) {
        state_.prompter.message(error.message());
        return false;
    }
    QTreeWidgetItem* root = treeView1_->addNode({}, RootKey(), catalog.name, QStringLiteral("logo"),
                                                QStringLiteral("logo"));
    for (const CategoryEntry& category : catalog.categories)
        treeView1_->addNode(RootKey(), category.key, category.name, QStringLiteral("cat_closed"),
                            QStringLiteral("cat_open"));
    root->setExpanded(true);
    treeView1_->setCurrentItem(root);
    return true;
}

// The catalog itself stands for category 0: its volumes hang under the root.
void CategoryChooser::Command1_Click() {
    const QString key = treeView1_->selectedKey();
    if (key.isEmpty())
        return;
    chosen_ = KindOfKey(key) == NodeKind::Category ? key.mid(1).toInt() : 0;
    accept();
}

} // namespace kestro
