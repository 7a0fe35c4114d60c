#pragma once

#include <QDialog>
#include <optional>

namespace kestro {

class CatalogTree;
class ProgramState;

// "Categorize": the catalog and its categories in a tree of their own, for
// the user to choose where the selected volumes go. The catalog itself
// stands for no category.
class CategoryChooser : public QDialog {
    Q_OBJECT
public:
    // Shows the chooser modally over the current catalog. The chosen
    // category's number, 0 for the catalog itself; nothing when the user
    // closed the chooser, or when the catalog could not be read (the user
    // has been told why).
    static std::optional<int> choose(ProgramState& state, QWidget* parent);

public Q_SLOTS:
    void Command1_Click(); // "Choose Category"

private:
    CategoryChooser(ProgramState& state, QWidget* parent);
    // Fills the tree from the catalog; false when it cannot be read.
    bool Form_Activate();

    ProgramState& state_;
    CatalogTree* treeView1_;
    std::optional<int> chosen_;
};

} // namespace kestro
