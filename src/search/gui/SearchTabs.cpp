#include "search/gui/SearchTabs.h"

#include "platform/Twips.h"
#include "search/gui/VolumeList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QRadioButton>
#include <QTabBar>
#include <algorithm>

namespace kestro {

namespace {

constexpr double kLeastPanelHeight = 1590; // twips

// Tabs with less room beside their captions than the desktop style gives,
// so that the three captions fit the window's opening width in full.
class NarrowTabStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        return metric == PM_TabBarTabHSpace ? std::min(value, kTabCaptionSpace) : value;
    }

private:
    static constexpr int kTabCaptionSpace = 10;
};

QLabel* labelFor(QWidget* field, const QString& caption) {
    auto* label = new QLabel(caption, field->parentWidget());
    label->setBuddy(field);
    return label;
}

} // namespace

SearchTabs::SearchTabs(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("TabStrip1"));
    // A narrow window shortens the tab captions rather than scrolling them.
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideRight);
    auto* narrowTabs = new NarrowTabStyle;
    narrowTabs->setParent(this);
    tabBar()->setStyle(narrowTabs);
    buildNamePanel();
    buildDatePanel();
    buildAdvancedPanel();
    buildDuplicatesPanel();
    // The panels are all as high as the highest needs, and at least 1590
    // twips; the tab strip keeps that height and the results take the rest.
    // Their margins are tight: the window may be small.
    int panelHeight = TwipsToPixels(kLeastPanelHeight);
    for (int tab = 0; tab < count(); ++tab) {
        widget(tab)->layout()->setContentsMargins(8, 6, 8, 6);
        widget(tab)->layout()->setSpacing(4);
        panelHeight = std::max(panelHeight, widget(tab)->minimumSizeHint().height());
    }
    for (int tab = 0; tab < count(); ++tab)
        widget(tab)->setMinimumHeight(panelHeight);
    setFixedHeight(minimumSizeHint().height());
}

QWidget* SearchTabs::addPanel(const QString& caption, const QString& key, const QString& tip) {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Picture1"));
    panel->setProperty("index", count());
    const int tab = addTab(panel, caption);
    tabBar()->setTabData(tab, key);
    setTabToolTip(tab, tip);
    return panel;
}

QLineEdit* SearchTabs::addTextBox(QWidget* panel, const char* name) {
    auto* box = new QLineEdit(panel);
    box->setObjectName(QLatin1String(name));
    box->setClearButtonEnabled(true);
    connect(box, &QLineEdit::returnPressed, this, &SearchTabs::findRequested);
    return box;
}

void SearchTabs::buildNamePanel() {
    QWidget* panel = addPanel(QStringLiteral("Name && Location"), QStringLiteral("name"),
                              QStringLiteral("What to search for"));
    input1_ = addTextBox(panel, "Input1");
    input1_->setPlaceholderText(QStringLiteral("report, *.doc, rep*"));
    connect(input1_, &QLineEdit::textEdited, this, &SearchTabs::namedEdited);
    list1_ = new VolumeList(panel);
    list1_->setObjectName(QStringLiteral("List1"));

    auto* grid = new QGridLayout(panel);
    grid->addWidget(labelFor(input1_, QStringLiteral("Named:")), 0, 0);
    grid->addWidget(input1_, 0, 1);
    grid->addWidget(labelFor(list1_, QStringLiteral("Look in:")), 1, 0, Qt::AlignTop);
    grid->addWidget(list1_, 1, 1);
    grid->setRowStretch(1, 1);
}

void SearchTabs::buildDatePanel() {
    QWidget* panel = addPanel(QStringLiteral("Date Modified"), QStringLiteral("date"),
                              QStringLiteral("Search by date range"));
    allFiles_ = new QRadioButton(QStringLiteral("All Files"), panel);
    between_ = new QRadioButton(QStringLiteral("Between"), panel);
    for (QRadioButton* option : {allFiles_, between_})
        option->setObjectName(QStringLiteral("Option1"));
    allFiles_->setProperty("index", 0);
    between_->setProperty("index", 1);
    allFiles_->setChecked(true);
    text1_ = addTextBox(panel, "Text1");
    text2_ = addTextBox(panel, "Text2");
    setEuropeanDates(false);

    auto* dates = new QHBoxLayout;
    dates->addWidget(between_);
    dates->addWidget(text1_, 1);
    dates->addWidget(new QLabel(QStringLiteral("and"), panel));
    dates->addWidget(text2_, 1);
    auto* column = new QVBoxLayout(panel);
    column->addWidget(allFiles_);
    column->addLayout(dates);
    column->addStretch();
}

void SearchTabs::buildAdvancedPanel() {
    QWidget* panel = addPanel(QStringLiteral("Advanced"), QStringLiteral("advanced"),
                              QStringLiteral("Search by filesize and more"));
    check2_ = new QCheckBox(QStringLiteral("Search File Names"), panel);
    check2_->setObjectName(QStringLiteral("Check2"));
    check1_ = new QCheckBox(QStringLiteral("Search Folder Names"), panel);
    check1_->setObjectName(QStringLiteral("Check1"));
    setTableKinds(true, true);
    text3_ = addTextBox(panel, "Text3");
    combo1_ = new QComboBox(panel);
    combo1_->setObjectName(QStringLiteral("Combo1"));
    combo1_->addItems(
        {QStringLiteral("equal to"), QStringLiteral("at least"), QStringLiteral("at most")});
    text4_ = addTextBox(panel, "Text4");
    text4_->setMaximumWidth(text4_->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);

    // Rows of their own rather than a grid: the label column would make
    // the panel too wide for the smallest window.
    auto* description = new QHBoxLayout;
    description->addWidget(labelFor(text3_, QStringLiteral("Description contains")));
    description->addWidget(text3_, 1);
    auto* size = new QHBoxLayout;
    size->addWidget(labelFor(combo1_, QStringLiteral("File size is")));
    size->addWidget(combo1_);
    size->addWidget(text4_, 1);
    size->addWidget(new QLabel(QStringLiteral("KB"), panel));
    size->addStretch();
    auto* column = new QVBoxLayout(panel);
    column->addWidget(check2_);
    column->addWidget(check1_);
    column->addLayout(description);
    column->addLayout(size);
    column->addStretch();
}

void SearchTabs::buildDuplicatesPanel() {
    duplicatesPanel_ = addPanel(QStringLiteral("Duplicates"), QStringLiteral("duplicates"),
                                QStringLiteral("Files held more than once, or on one medium only"));
    QWidget* panel = duplicatesPanel_;
    auto* copies = new QRadioButton(QStringLiteral("Files held more than once"), panel);
    copies->setObjectName(QStringLiteral("optCopies"));
    copies->setChecked(true);
    singleCopies_ = new QRadioButton(QStringLiteral("Files no other volume holds"), panel);
    singleCopies_->setObjectName(QStringLiteral("optSingleCopies"));
    singleCopies_->setToolTip(QStringLiteral("The files of the volumes chosen in \"Look in:\" that "
                                             "no other volume of the catalog holds"));
    sameDate_ = new QCheckBox(QStringLiteral("Copies have the same date too"), panel);
    sameDate_->setObjectName(QStringLiteral("chkSameDate"));
    atLeast_ = addTextBox(panel, "txtAtLeast");
    atLeast_->setMaximumWidth(atLeast_->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
    panel->setToolTip(QStringLiteral("\"Named:\" and \"Look in:\" on the first tab choose the "
                                     "files and the volumes"));

    // One row each, as on "Advanced": side by side they would make the
    // panel too wide for the smallest window.
    auto* size = new QHBoxLayout;
    size->addWidget(labelFor(atLeast_, QStringLiteral("Only files of at least")));
    size->addWidget(atLeast_, 1);
    size->addWidget(new QLabel(QStringLiteral("KB"), panel));
    size->addStretch();
    auto* column = new QVBoxLayout(panel);
    column->addWidget(copies);
    column->addWidget(singleCopies_);
    column->addWidget(sameDate_);
    column->addLayout(size);
    column->addStretch();
}

void SearchTabs::setVolumes(const std::vector<CatalogVolume>& volumes) {
    list1_->setVolumes(volumes);
    list1_->select(VolumeSelection{});
}

void SearchTabs::setTableKinds(bool files, bool folders) {
    check2_->setChecked(files);
    check1_->setChecked(folders);
}

void SearchTabs::setEuropeanDates(bool on) {
    europeanDates_ = on;
    const QString format = on ? QStringLiteral("d/m/yy") : QStringLiteral("m/d/yy");
    text1_->setPlaceholderText(format);
    text2_->setPlaceholderText(format);
}

void SearchTabs::focusName() {
    input1_->setFocus();
}

SearchRequest SearchTabs::request() const {
    SearchRequest request;
    SearchCriteria& criteria = request.criteria;
    criteria.named = input1_->text();
    criteria.between = between_->isChecked();
    criteria.firstDate = text1_->text();
    criteria.secondDate = text2_->text();
    criteria.descriptionContains = text3_->text();
    criteria.sizeComparison = combo1_->currentText();
    criteria.sizeKilobytes = text4_->text();
    criteria.europeanDates = europeanDates_;
    request.searchFiles = check2_->isChecked();
    request.searchFolders = check1_->isChecked();
    request.volumes = list1_->selection();
    return request;
}

bool SearchTabs::duplicatesChosen() const {
    return currentWidget() == duplicatesPanel_;
}

DuplicatesRequest SearchTabs::duplicatesRequest() const {
    DuplicatesRequest request;
    request.singleCopies = singleCopies_->isChecked();
    request.criteria.named = input1_->text();
    request.criteria.atLeastKilobytes = atLeast_->text();
    request.criteria.sameDate = sameDate_->isChecked();
    request.criteria.europeanDates = europeanDates_;
    request.volumes = list1_->selection();
    return request;
}

} // namespace kestro
