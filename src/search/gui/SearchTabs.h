#pragma once

#include "search/CatalogVolumes.h"
#include "search/DuplicateFiles.h"
#include "search/SearchScan.h"

#include <QTabWidget>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace kestro {

class VolumeList;

// What "&Find Now" looks for on the "Duplicates" tab: the criteria's volumes
// are left empty, to be resolved from `volumes` once the catalog is open.
struct DuplicatesRequest {
    bool singleCopies = false; // the files no other volume holds, not the copies
    DuplicateCriteria criteria;
    VolumeSelection volumes;
};

// The find tool's criteria on four tabs (TabStrip1), one panel (Picture1)
// each:
//   "Name && Location"  "Named:" Input1, "Look in:" List1
//   "Date Modified"     Option1 "All Files" / "Between" Text1 "and" Text2
//   "Advanced"          Check2 "Search File Names", Check1 "Search Folder
//                       Names", "Description contains" Text3, "File size is"
//                       Combo1 Text4 "KB"
//   "Duplicates"        optCopies "Files held more than once" /
//                       optSingleCopies "Files no other volume holds",
//                       chkSameDate, "Only files of at least" txtAtLeast "KB";
//                       the name and volumes come from the first tab
// A control of a set keeps the set's name and tells its place by the
// property "index" (Option1 0 and 1, Picture1 0 to 2).
class SearchTabs : public QTabWidget {
    Q_OBJECT
public:
    explicit SearchTabs(QWidget* parent = nullptr);

    // The volumes to look in, "<<All Volumes>>" chosen; none without volumes.
    void setVolumes(const std::vector<CatalogVolume>& volumes);
    // "Search File Names" and "Search Folder Names".
    void setTableKinds(bool files, bool folders);
    // The date boxes show the order dates are typed in.
    void setEuropeanDates(bool on);
    void focusName();

    // What "&Find Now" searches for.
    SearchRequest request() const;
    // Whether "&Find Now" looks for duplicates (the "Duplicates" tab is
    // showing), and what for.
    bool duplicatesChosen() const;
    DuplicatesRequest duplicatesRequest() const;

Q_SIGNALS:
    // Enter pressed in one of the text boxes.
    void findRequested();
    // The user changed the text of "Named:".
    void namedEdited();

private:
    QWidget* addPanel(const QString& caption, const QString& key, const QString& tip);
    QLineEdit* addTextBox(QWidget* panel, const char* name);
    void buildNamePanel();
    void buildDatePanel();
    void buildAdvancedPanel();
    void buildDuplicatesPanel();

    QLineEdit* input1_ = nullptr;
    VolumeList* list1_ = nullptr;
    QRadioButton* allFiles_ = nullptr;
    QRadioButton* between_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QCheckBox* check2_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QLineEdit* text3_ = nullptr;
    QComboBox* combo1_ = nullptr;
    QLineEdit* text4_ = nullptr;
    QWidget* duplicatesPanel_ = nullptr;
    QRadioButton* singleCopies_ = nullptr;
    QCheckBox* sameDate_ = nullptr;
    QLineEdit* atLeast_ = nullptr;
    bool europeanDates_ = false;
};

} // namespace kestro
