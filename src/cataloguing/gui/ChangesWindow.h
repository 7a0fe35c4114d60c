#pragma once

#include "catalog/ChangeReport.h"

#include <QDialog>

class QSortFilterProxyModel;
class QTreeView;

namespace kestro {

class Prompter;

// "Changes": what a re-catalog of a volume found changed, one item a row
// under Change (+, - or ~), Location, Name, Old size, New size, Old date and
// New date. A click on a column's header sorts by it (sizes by their
// kilobytes, dates by their moment); "&Export..." writes the rows as
// comma-separated values to a file the user names.
class ChangesWindow : public QDialog {
    Q_OBJECT
public:
    ChangesWindow(Prompter& prompter, const QString& volumeName, const ChangeRun& run,
                  std::vector<ChangeItem> items, QWidget* parent = nullptr);

public Q_SLOTS:
    void Export_Click();

private:
    Prompter& prompter_;
    std::vector<ChangeItem> items_;
    QTreeView* list_;
};

} // namespace kestro
