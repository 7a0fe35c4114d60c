#include "browser/gui/EditingCommands.h"

#include "browser/gui/CatalogTree.h"
#include "browser/gui/CategoryChooser.h"
#include "browser/gui/ContentsList.h"
#include "browser/gui/WaitCursor.h"
#include "catalog/Catalog.h"
#include "catalog/CatalogEditing.h"
#include "catalog/CatalogError.h"
#include "catalog/DisplayRules.h"
#include "catalog/NodeKey.h"
#include "platform/YieldEvents.h"
#include "platform/gui/Prompter.h"
#include "platform/gui/SoundPlayer.h"
#include "settings/gui/ProgramState.h"

namespace kestro {

namespace {

const QString kDeleteTitle = QStringLiteral("Delete Item");
const QString kOnlyVolumesCategorized =
    QStringLiteral("You can only categorize volumes, not files, folders or other categories...");
const QString kOnlyNamesRenamed =
    QStringLiteral("You can only change database, category or volume names...");
const QString kOnlyVolumesOrCategoriesDeleted =
    QStringLiteral("Can only delete volumes or whole categories...");
const QString kCategoriesNotDescribed =
    QStringLiteral("Can't add descriptions to categories. Skipping selected category...");

// A failure told together with what it means for the catalog.
QString unchanged(const QString& what, const CatalogError& error) {
    return what + QStringLiteral(" The catalog is as it was.\n\n") + error.message();
}

int categoryNumberOf(const QString& key) {
    return key.mid(1).toInt();
}

// What a contents row stands for: a file row has no key.
std::optional<NodeKind> kindOfRow(const ContentsRow& row) {
    if (row.key.isEmpty())
        return std::nullopt;
    return KindOfKey(row.key);
}

} // namespace

EditingCommands::EditingCommands(ProgramState& state, Views views, QWidget* window)
    : QObject(window), state_(state), views_(std::move(views)), window_(window) {}

bool EditingCommands::refusedAsReadOnly() {
    if (!state_.isReadOnly())
        return false;
    state_.prompter.message(kReadOnlyMessage);
    return true;
}

// New Category

void EditingCommands::NewCategory() {
    YieldEvents(50);
    if (refusedAsReadOnly())
        return;
    state_.sounds.play(cue::kOpenWindow);
    const std::optional<QString> name =
        state_.prompter.inputText(QStringLiteral("Enter NEW Category name"),
                                  QStringLiteral("New Category"), QStringLiteral("Category"));
    if (!name || name->isEmpty())
        return;
    try {
        AddCategory(state_.catalog().open(), *name);
    } catch (const CatalogError& error) {
        state_.prompter.message(
            unchanged(QStringLiteral("The category could not be added."), error));
        return;
    }
    views_.refreshViews();
}

// Categorize

void EditingCommands::Categorize() {
    if (refusedAsReadOnly())
        return;
    QStringList volumes;
    for (int row : views_.list.selectedRows()) {
        const ContentsRow& item = views_.list.contents().row(row);
        if (kindOfRow(item) == NodeKind::Volume)
            volumes << TableNameOf(item.key);
    }
    if (volumes.isEmpty()) {
        state_.prompter.message(kOnlyVolumesCategorized);
        return;
    }
    const std::optional<int> category = CategoryChooser::choose(state_, window_);
    if (!category)
        return;
    try {
        const Database db = state_.catalog().open();
        Database::Transaction transaction(db);
        for (const QString& tablename : volumes)
            CategorizeVolume(db, tablename, *category);
        transaction.commit();
    } catch (const CatalogError& error) {
        state_.prompter.message(
            unchanged(QStringLiteral("The volumes could not be categorized."), error));
        return;
    }
    views_.refreshViews();
}

// Rename

void EditingCommands::StartRename() {
    QTreeWidgetItem* node = views_.tree.currentItem();
    if (!node || refusedAsReadOnly())
        return;
    labelEdit_ = LabelEdit{CatalogTree::keyOf(node), node->text(0)};
    views_.tree.startLabelEdit(node);
}

// A refused or failed rename gives the node its old text back; a
// successful one leaves the text the user typed.
void EditingCommands::LstPers_AfterLabelEdit(const QString& key, const QString&,
                                             const QString& newText) {
    if (!labelEdit_ || labelEdit_->key != key)
        return;
    const LabelEdit edit = *labelEdit_;
    labelEdit_.reset();
    if (!newText.isEmpty() && rename(key, newText))
        return;
    if (QTreeWidgetItem* node = views_.tree.node(key)) {
        const QSignalBlocker quiet(&views_.tree); // putting the old text back is no edit
        node->setText(0, edit.text);
    }
}

bool EditingCommands::rename(const QString& key, const QString& name) {
    const NodeKind kind = KindOfKey(key);
    if (kind == NodeKind::Folder) {
        state_.prompter.message(kOnlyNamesRenamed);
        return false;
    }
    try {
        const Database db = state_.catalog().open();
        if (kind == NodeKind::Root)
            RenameCatalog(db, name);
        else if (kind == NodeKind::Category)
            RenameCategory(db, categoryNumberOf(key), name);
        else
            RenameVolume(db, TableNameOf(key), name);
    } catch (const CatalogError& error) {
        state_.prompter.message(unchanged(QStringLiteral("The name could not be changed."), error));
        return false;
    }
    return true;
}

// Delete Node and Delete Selected Items

void EditingCommands::DeleteNode() {
    const QString key = views_.tree.selectedKey();
    if (key.isEmpty() || refusedAsReadOnly())
        return;
    if (!state_.prompter.question(QStringLiteral("Delete this item?"), kDeleteTitle))
        return;
    const NodeKind kind = KindOfKey(key);
    if (kind != NodeKind::Volume && kind != NodeKind::Category) {
        state_.prompter.message(kOnlyVolumesOrCategoriesDeleted);
        return;
    }
    try {
        const WaitCursor wait;
        deleteCatalogObject(state_.catalog().open(), key);
    } catch (const CatalogError& error) {
        state_.prompter.message(unchanged(QStringLiteral("Nothing was deleted."), error));
        return;
    }
    views_.refreshViews();
}

// One question, one transaction and one refresh for every row selected.
void EditingCommands::DeleteListItem() {
    if (refusedAsReadOnly())
        return;
    std::vector<ContentsRow> rows;
    for (int row : views_.list.selectedRows())
        rows.push_back(views_.list.contents().row(row));
    if (rows.empty())
        return;
    if (!state_.prompter.question(QStringLiteral("Delete ALL selected items?"), kDeleteTitle))
        return;
    try {
        const WaitCursor wait;
        const Database db = state_.catalog().open();
        Database::Transaction transaction(db);
        for (const ContentsRow& row : rows)
            deleteRow(db, row);
        transaction.commit();
    } catch (const CatalogError& error) {
        state_.prompter.message(unchanged(QStringLiteral("Nothing was deleted."), error));
        return;
    }
    views_.refreshViews();
}

// A volume, or a category with every volume in it.
void EditingCommands::deleteCatalogObject(const Database& db, const QString& key) {
    if (KindOfKey(key) == NodeKind::Volume)
        DeleteVolume(db, TableNameOf(key));
    else
        DeleteCategory(db, categoryNumberOf(key));
}

// Folder and file rows belong to the folder the list shows; deleting a
// folder row leaves what the folder holds in the volume's tables.
void EditingCommands::deleteRow(const Database& db, const ContentsRow& row) {
    const std::optional<NodeKind> kind = kindOfRow(row);
    if (kind == NodeKind::Volume || kind == NodeKind::Category) {
        deleteCatalogObject(db, row.key);
        return;
    }
    const QString tablename = TableNameOf(views_.shownKey);
    const QString path = NodePathOf(views_.shownKey);
    if (kind == NodeKind::Folder)
        DeleteFolderRow(db, tablename, path, row.fileName);
    else
        DeleteFileRow(db, tablename, path, row.fileName);
}

// Describe

void EditingCommands::Describe() {
    if (refusedAsReadOnly())
        return;
    const int descriptionColumn = views_.list.mode() == ListMode::Volumes ? 5 : 4;
    for (int index : views_.list.selectedRows()) {
        const ContentsRow row = views_.list.contents().row(index);
        if (kindOfRow(row) == NodeKind::Category) {
            state_.prompter.message(kCategoriesNotDescribed);
            continue;
        }
        const QString current = row.texts[size_t(descriptionColumn)];
        const std::optional<QString> answer = state_.prompter.inputText(
            QStringLiteral("Enter a description for '") + row.texts[0] +
                QStringLiteral("', or leave blank and click OK to erase an existing one."),
            QStringLiteral("Add a Description"), current);
        std::optional<QString> description;
        if (answer && !answer->isEmpty()) {
            description = answer;
        } else if (current.isEmpty() || current == QStringLiteral(" ") ||
                   !state_.prompter.question(QStringLiteral("Delete this description?"),
                                             QStringLiteral("Delete description"))) {
            continue;
        }
        try {
            describeRow(row, description);
        } catch (const CatalogError& error) {
            state_.prompter.message(
                unchanged(QStringLiteral("The description could not be saved."), error));
            return;
        }
        const QString shown = description.value_or(QString());
        views_.list.contents().setText(index, descriptionColumn, shown);
        if (kindOfRow(row) == NodeKind::Volume)
            cacheVolumeDescription(row.key, shown);
    }
}

void EditingCommands::describeRow(const ContentsRow& row,
                                  const std::optional<QString>& description) {
    const Database db = state_.catalog().open();
    const std::optional<NodeKind> kind = kindOfRow(row);
    if (kind == NodeKind::Volume) {
        DescribeVolume(db, TableNameOf(row.key), description);
        return;
    }
    const QString tablename = TableNameOf(views_.shownKey);
    const QString path = NodePathOf(views_.shownKey);
    if (kind == NodeKind::Folder)
        DescribeFolder(db, tablename, path, row.fileName, description);
    else
        DescribeFile(db, tablename, path, row.fileName, description);
}

// The status line shows a volume's description from the figures read at the
// last load: they follow the change without a reload.
void EditingCommands::cacheVolumeDescription(const QString& key, const QString& description) {
    if (QTreeWidgetItem* node = views_.tree.node(key)) {
        const auto figures = views_.volumeCache.find(CatalogTree::numberOf(node));
        if (figures != views_.volumeCache.end())
            figures->description = description;
    }
}

} // namespace kestro
