#pragma once

#include "search/CatalogVolumes.h"
#include "search/SearchScan.h"

#include <QTabWidget>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace kestro {

class VolumeList;

// The find tool's criteria on three tabs (TabStrip1), one panel (Picture1)
// each:
//   "Name && Location"  "Named:" Input1, "Look in:" List1
//   "Date Modified"     Option1 "All Files" / "Between" Text1 "and" Text2
//   "Advanced"          Check2 "Search File Names", Check1 "Search Folder
//                       Names", "Description contains" Text3, "File size is"
//                       Combo1 Text4 "KB"
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
    bool europeanDates_ = false;
};

} // namespace kestro
