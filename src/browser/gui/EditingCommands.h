#pragma once

#include "browser/VolumeSummary.h"

#include <QHash>
#include <QObject>
#include <functional>
#include <optional>

class QWidget;

namespace kestro {

class CatalogTree;
class ContentsList;
class Database;
class ProgramState;
struct ContentsRow;

// The user's changes to the catalog from the main window's tree and
// contents list: New Category, Categorize, Rename (the tree's label edit),
// Delete Node, Delete Selected Items and Describe. Each refuses in read-only
// mode before it asks anything, opens the catalog for itself, and finds what
// it changes by key and stored name, never by the text shown (which smart
// capitals may have changed). A failure is told to the user and leaves the
// catalog as it was: several deletions asked for at once succeed or fail
// together.
class EditingCommands : public QObject {
    Q_OBJECT
public:
    // What the main window shows, and how it shows the catalog again.
    struct Views {
        CatalogTree& tree;
        ContentsList& list;
        QHash<int, VolumeSummary>& volumeCache; // the volumes' figures, by node number
        const QString& shownKey;                // the node whose contents the list shows
        std::function<void()> refreshViews;
    };

    EditingCommands(ProgramState& state, Views views, QWidget* window);

public Q_SLOTS:
    void NewCategory();
    // The selected volumes of the list go into a category the user chooses.
    void Categorize();
    // Opens the label edit of the selected tree node; the rename follows
    // when the user confirms a new text.
    void StartRename();
    void LstPers_AfterLabelEdit(const QString& key, const QString& oldText, const QString& newText);
    // Deletes the volume or the whole category selected in the tree.
    void DeleteNode();
    // Deletes the selected rows of the list: categories with their volumes,
    // volumes, and single folder and file rows.
    void DeleteListItem();
    void Describe();

private:
    bool refusedAsReadOnly();
    bool rename(const QString& key, const QString& name);
    void deleteCatalogObject(const Database& db, const QString& key);
    void deleteRow(const Database& db, const ContentsRow& row);
    void describeRow(const ContentsRow& row, const std::optional<QString>& description);
    void cacheVolumeDescription(const QString& key, const QString& description);

    ProgramState& state_;
    Views views_;
    QWidget* window_;

    // The node whose label the user is editing, and its text before.
    struct LabelEdit {
        QString key;
        QString text;
    };
    std::optional<LabelEdit> labelEdit_;
};

} // namespace kestro
