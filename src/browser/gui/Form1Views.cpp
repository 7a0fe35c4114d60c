// What the main window's tree and contents list show, and how they answer
// the user's mouse and keys.

#include "browser/CatalogReader.h"
#include "browser/gui/CatalogTree.h"
#include "browser/gui/ContentsList.h"
#include "browser/gui/Form1.h"
#include "browser/gui/WaitCursor.h"
#include "catalog/CatalogError.h"
#include "catalog/DisplayRules.h"
#include "catalog/NodeKey.h"
#include "platform/FileTypes.h"
#include "platform/OnlineVolumes.h"
#include "platform/YieldEvents.h"
#include "platform/gui/CatalogFileOpener.h"
#include "settings/gui/ProgramState.h"

#include <QMenu>
#include <QScopedValueRollback>

namespace kestro {

namespace {

const QString kCategoryTypeText = QStringLiteral(" Category");
const QString kFolderTypeText = QStringLiteral("(File Folder)");

} // namespace

// Loading the tree

void Form1::loadRootAndCategories(const RootAndCategories& catalog) {
    tree_->clearNodes();
    QTreeWidgetItem* root =
        tree_->addNode({}, RootKey(), catalog.name, QStringLiteral("logo"), QStringLiteral("logo"));
    root->setExpanded(true);
    for (const CategoryEntry& category : catalog.categories)
        tree_->addNode(RootKey(), category.key, category.name, QStringLiteral("cat_closed"),
                       QStringLiteral("cat_open"));
}

// A category's row says what it is in the file columns' Type column, or in
// the volume columns' Description column: the volume columns have no column
// for it.
ContentsRow Form1::categoryRow(const QString& key, const QString& text,
                               const QString& image) const {
    ContentsRow row{key, image, {}, {}};
    row.texts[0] = text;
    row.texts[list_->mode() == ListMode::Volumes ? 5 : 2] = kCategoryTypeText;
    return row;
}

void Form1::LoadVolumes(const Database& db, std::vector<ContentsRow>& rows) {
    lastShownNumber_ = 0;
    volumeCache_.clear(); // its node numbers belong to the tree just cleared
    volumeKeys_.clear();
    const std::vector<VolumeEntry> volumes = ReadVolumes(db);
    if (volumes.empty())
        return; // the list keeps the columns it has
    ShowVolumeColumns();
    for (const VolumeEntry& volume : volumes) {
        const QString parentKey =
            tree_->node(volume.parentKey) ? volume.parentKey : RootKey(); // a lost category
        QTreeWidgetItem* node =
            tree_->addNode(parentKey, volume.key, SmartCaps(volume.name, smartCaps()),
                           volume.imageKey, volume.imageKey);
        if (parentKey == RootKey()) {
            ContentsRow row{volume.key, volume.imageKey, {}, {}};
            row.texts[0] = SmartCaps(QLatin1Char(' ') + volume.name, smartCaps());
            const std::array<QString, 7> figures =
                VolumeFigureTexts(volume.summary, europeanDates());
            std::copy(figures.begin(), figures.end(), row.texts.begin() + 1);
            row.texts[6] = volume.storedDirs;
            row.texts[7] = volume.storedFiles;
            rows.push_back(std::move(row));
        }
        volumeCache_.insert(CatalogTree::numberOf(node), volume.summary);
        volumeKeys_ << volume.key;
        for (const FolderEntry& folder : volume.folders)
            tree_->addNode(volume.key, folder.key, SmartCaps(folder.name, smartCaps()),
                           QStringLiteral("closed"), QStringLiteral("open"));
    }
    showOnlineVolumes();
    online_->refresh();
}

void Form1::showOnlineVolumes() {
    for (const QString& key : std::as_const(volumeKeys_)) {
        if (QTreeWidgetItem* node = tree_->node(key)) {
            const std::optional<Drive> drive = online_->driveOf(TableNameOf(key));
            tree_->setOnline(node, drive ? drive->root : QString());
        }
    }
    QTreeWidgetItem* selected = tree_->currentItem();
    if (selected && CatalogTree::keyOf(selected) == shownKey_ &&
        KindOfKey(shownKey_) == NodeKind::Volume)
        setStatusText(volumeStatusText(selected));
}

// The status line of a volume: where it is online, then its figures (a long
// line is cut at its end).
QString Form1::volumeStatusText(QTreeWidgetItem* volumeNode) const {
    QString name = volumeNode->text(0);
    if (const std::optional<Drive> drive =
            online_->driveOf(TableNameOf(CatalogTree::keyOf(volumeNode))))
        name += QStringLiteral(" -- online at %1 (%2)").arg(drive->root, drive->name());
    return VolumeStatusText(name, volumeCache_.value(CatalogTree::numberOf(volumeNode)),
                            europeanDates());
}

void Form1::ExpandAhead(QTreeWidgetItem* node) {
    if (node->childCount() == 0)
        return;
    try {
        const Database db = state_.catalog().open();
        for (int i = 0; i < node->childCount(); ++i) {
            QTreeWidgetItem* child = node->child(i);
            if (child->childCount() > 0)
                continue;
            const QString key = CatalogTree::keyOf(child);
            try {
                for (const FolderEntry& folder :
                     ReadSubFolders(db, TableNameOf(key), NodePathOf(key)))
                    tree_->addNode(key, folder.key, SmartCaps(folder.name, smartCaps()),
                                   QStringLiteral("closed"), QStringLiteral("open"));
            } catch (const CatalogError&) {
                // that child shows no expand button
            }
        }
    } catch (const CatalogError&) {
    }
}

// Selecting in the tree

// The folder or category selected before gets its closed picture back; the
// one selected now shows open.
void Form1::selectNode(QTreeWidgetItem* node) {
    const QString key = CatalogTree::keyOf(node);
    if (!lastSelectedKey_.isEmpty() && lastSelectedKey_ != key) {
        if (QTreeWidgetItem* last = tree_->node(lastSelectedKey_)) {
            const NodeKind kind = KindOfKey(lastSelectedKey_);
            if (kind == NodeKind::Folder)
                tree_->setImage(last, QStringLiteral("closed"));
            else if (kind == NodeKind::Category)
                tree_->setImage(last, QStringLiteral("cat_closed"));
        }
    }
    lastSelectedKey_ = key;
    const NodeKind kind = KindOfKey(key);
    if (kind == NodeKind::Folder)
        tree_->setImage(node, QStringLiteral("open"));
    else if (kind == NodeKind::Category)
        tree_->setImage(node, QStringLiteral("cat_open"));
}

void Form1::LstPers_MouseUp(Qt::MouseButton button) {
    QTreeWidgetItem* node = tree_->currentItem();
    if (!node)
        return;
    selectNode(node);
    ShowNode(node);
    if (button == Qt::RightButton)
        showNodeMenu(node);
}

void Form1::LstPers_Expand(QTreeWidgetItem* node) {
    if (quietExpansion_)
        return;
    expandedByPress_ = true;
    tree_->setCurrentItem(node);
    ShowNode(node);
}

void Form1::lstpers_KeyUp(int key) {
    QTreeWidgetItem* node = tree_->currentItem();
    if (!node)
        return;
    const NodeKind kind = KindOfKey(CatalogTree::keyOf(node));
    const QString menu = kind == NodeKind::Volume     ? QStringLiteral("volumes")
                         : kind == NodeKind::Category ? QStringLiteral("categories")
                         : kind == NodeKind::Root     ? QStringLiteral("root")
                                                      : QString();
    if (key == Qt::Key_Delete && (kind == NodeKind::Volume || kind == NodeKind::Category))
        findChild<QAction*>(menu + QStringLiteral("Delete"))->trigger();
    else if (key == Qt::Key_F2 && !menu.isEmpty())
        findChild<QAction*>(menu + QStringLiteral("Rename"))->trigger();
    node = tree_->currentItem();
    if (!node)
        return;
    selectNode(node);
    ShowNode(node);
}

void Form1::showNodeMenu(QTreeWidgetItem* node) {
    switch (KindOfKey(CatalogTree::keyOf(node))) {
    case NodeKind::Volume:
        showMenu(contextMenus_.value(QStringLiteral("volumes")));
        break;
    case NodeKind::Category:
        showMenu(contextMenus_.value(QStringLiteral("categories")));
        break;
    case NodeKind::Root:
        showMenu(contextMenus_.value(QStringLiteral("root")));
        break;
    case NodeKind::Folder:
        break; // folders have no menu
    }
}

void Form1::showMenu(QMenu* menu) {
    menu->popup(QCursor::pos());
}

// The contents list

void Form1::ShowNode(QTreeWidgetItem* node) {
    if (!node || CatalogTree::numberOf(node) == lastShownNumber_)
        return;
    const QScopedValueRollback busy(showingNode_, true);
    shownKey_ = CatalogTree::keyOf(node);
    lastShownNumber_ = CatalogTree::numberOf(node);
    ContentsRow placeholder;
    placeholder.texts[0] = QStringLiteral("Loading Tree...");
    list_->contents().setRows({placeholder});
    YieldEvents(5);
    list_->contents().clearRows();
    const WaitCursor wait;
    const NodeKind kind = KindOfKey(shownKey_);
    if (kind == NodeKind::Volume || kind == NodeKind::Folder)
        showFolderRows(node);
    else
        showChildRows(node);
}

// The root or a category: a row for each category and volume inside, with
// the figures read at the last load.
void Form1::showChildRows(QTreeWidgetItem* node) {
    ShowVolumeColumns();
    std::vector<ContentsRow> rows;
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        const QString key = CatalogTree::keyOf(child);
        if (KindOfKey(key) == NodeKind::Category) {
            rows.push_back(categoryRow(key,
                                       SmartCaps(QLatin1Char(' ') + child->text(0), smartCaps()),
                                       CatalogTree::imageOf(child)));
            continue;
        }
        ContentsRow row{key, CatalogTree::imageOf(child), {}, {}};
        row.texts[0] = SmartCaps(QLatin1Char(' ') + child->text(0), smartCaps());
        const std::array<QString, 7> figures =
            VolumeFigureTexts(volumeCache_.value(CatalogTree::numberOf(child)), europeanDates());
        std::copy(figures.begin(), figures.end(), row.texts.begin() + 1);
        rows.push_back(std::move(row));
    }
    list_->contents().setRows(std::move(rows));
}

// A volume or folder: its sub-folders, then its files.
void Form1::showFolderRows(QTreeWidgetItem* node) {
    ShowFileColumns();
    ExpandAhead(node);
    QTreeWidgetItem* selected = tree_->currentItem();
    if (selected && KindOfKey(CatalogTree::keyOf(selected)) == NodeKind::Volume)
        setStatusText(volumeStatusText(selected));
    else
        setStatusText(QStringLiteral(" "));
    const QString tablename = TableNameOf(shownKey_);
    const QString path = NodePathOf(shownKey_);
    std::vector<ContentsRow> rows;
    try {
        const Database db = state_.catalog().open();
        if (node->childCount() > 0) {
            for (ListingRow& folder : ReadFolderRows(db, tablename, path)) {
                ContentsRow row{FolderKey(tablename, path, folder.name),
                                QStringLiteral("closed"),
                                folder.name,
                                {}};
                row.texts = {SmartCaps(QLatin1Char(' ') + folder.name, smartCaps()), folder.size,
                             kFolderTypeText, DisplayDateText(folder.date, europeanDates()),
                             folder.description.value_or(QString())};
                rows.push_back(std::move(row));
            }
        }
        AddFileRows(db, tablename, path, rows);
    } catch (const CatalogError&) {
        // what could be read is shown
    }
    list_->contents().setRows(std::move(rows));
}

void Form1::AddFileRows(const Database& db, const QString& tablename, const QString& path,
                        std::vector<ContentsRow>& rows) {
    std::vector<ListingRow> files = ReadFileRows(db, tablename, path);
    rows.reserve(rows.size() + files.size());
    for (ListingRow& file : files) {
        ContentsRow row{{}, state_.fileTypes.FileIconKey(file.name), file.name, {}};
        row.texts = {SmartCaps(file.name, smartCaps()), std::move(file.size),
                     state_.fileTypes.FileTypeName(file.name),
                     DisplayDateText(file.date, europeanDates()),
                     file.description.value_or(QString())};
        rows.push_back(std::move(row));
    }
}

void Form1::ShowVolumeColumns() {
    list_->showVolumeColumns(europeanDates());
}

void Form1::ShowFileColumns() {
    list_->showFileColumns(europeanDates());
}

void Form1::SaveColumnWidths() {
    list_->saveColumnWidths();
}

void Form1::lstTel_ColumnClick(int column) {
    SaveColumnWidths();
    list_->toggleSortBy(column);
}

void Form1::lstTel_DblClick() {
    const std::optional<int> selected = list_->selectedRow();
    if (!selected)
        return;
    const ContentsRow& row = list_->contents().row(*selected);
    if (row.key.isEmpty()) {
        QString volumeName;
        try {
            volumeName = VolumeNameOfKey(state_.catalog().open(), shownKey_);
        } catch (const CatalogError&) {
        }
        fileOpener_->open(shownKey_, row.fileName, volumeName);
        return;
    }
    QTreeWidgetItem* node = tree_->node(row.key);
    if (!node)
        return;
    {
        const QScopedValueRollback quiet(quietExpansion_, true);
        tree_->scrollToItem(node);
        tree_->setCurrentItem(node);
    }
    ShowNode(node);
}

void Form1::lstTel_KeyDown(int key) {
    if (key == Qt::Key_Delete)
        findChild<QAction*>(QStringLiteral("filesDelete"))->trigger();
}

void Form1::lstTel_MouseUp(Qt::MouseButton button) {
    if (button != Qt::RightButton)
        return;
    const std::optional<int> selected = list_->selectedRow();
    if (!selected || KindOfKey(list_->contents().row(*selected).key) == NodeKind::Category)
        return;
    showMenu(contextMenus_.value(QStringLiteral("files")));
}

} // namespace kestro
