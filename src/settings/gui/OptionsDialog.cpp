#include "settings/gui/OptionsDialog.h"

#include "platform/DriveTable.h"
#include "platform/gui/Prompter.h"
#include "settings/gui/ProgramState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kestro {

const QString OptionsDialog::kDriveLabelText = QStringLiteral("Your Current Default  is - ");

OptionsDialog::OptionsDialog(ProgramState& state, QWidget* parent)
    : QDialog(parent), state_(state), driveList_(new QComboBox),
      driveLabel_(new QLabel(kDriveLabelText)) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));

    QGroupBox* search =
        addFrame("fraSearch", QStringLiteral("Search"),
                 {{"oSearchFiles", "Default to Search Files?", &Options::oSearchFiles},
                  {"oSearchDirs", "Default to Search Folders?", &Options::oSearchDirs},
                  {"oSearchAsYouType", "Search as You Type?", &Options::oSearchAsYouType}});
    QGroupBox* behaviors =
        addFrame("fraSample1", QStringLiteral("Behaviors"),
                 {{"oDateFormat", "European Dates (d/m/y)?", &Options::oDateFormat},
                  {"oNetworkShared", "Network Shared Mode", &Options::oNetworkShared},
                  {"oEjectMedia", "Eject Media After Cataloging?", &Options::oEjectMedia},
                  {"oClearDesc", "Always Clear Descriptions?", &Options::oClearDesc},
                  {"oSmartCaps", "SmartCaps©", &Options::oSmartCaps}});

    auto* driveCaption = new QLabel(QStringLiteral("Default Catalog Drive"));
    driveCaption->setObjectName(QStringLiteral("lblStartupDrive"));
    driveCaption->setBuddy(driveList_);
    driveList_->setObjectName(QStringLiteral("oStartupDrive2"));
    driveList_->setMinimumWidth(200);
    driveLabel_->setObjectName(QStringLiteral("oStartupDrive"));
    driveLabel_->setTextFormat(Qt::PlainText);
    connect(driveList_, &QComboBox::currentIndexChanged, this,
            &OptionsDialog::oStartupDrive2_Change);

    auto* general = new QVBoxLayout;
    general->setSpacing(6);
    general->addWidget(addFlagBox({"oSounds", "Sounds Effects Enabled", &Options::oSounds}));
    general->addWidget(
        addFlagBox({"oStartupMode", "Startup with Search Dialog", &Options::oStartupMode}));
    general->addSpacing(8);
    general->addWidget(search);
    general->addSpacing(10);
    general->addWidget(driveCaption);
    general->addWidget(driveList_);
    general->addWidget(driveLabel_);

    auto* picOptions = new QWidget;
    picOptions->setObjectName(QStringLiteral("picOptions"));
    auto* columns = new QHBoxLayout(picOptions);
    columns->setSpacing(16);
    columns->addLayout(general);
    columns->addWidget(behaviors, 0, Qt::AlignTop);
    auto* tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("tbsOptions"));
    tabs->addTab(picOptions, QStringLiteral("Startup"));

    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(ok, &QPushButton::clicked, this, &OptionsDialog::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, &OptionsDialog::cmdCancel_Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QCheckBox* OptionsDialog::addFlagBox(const FlagDefinition& definition) {
    auto* box = new QCheckBox(QString::fromUtf8(definition.caption));
    box->setObjectName(QLatin1String(definition.name));
    flagBoxes_.push_back({box, definition.flag});
    return box;
}

QGroupBox* OptionsDialog::addFrame(const char* name, const QString& title,
                                   std::initializer_list<FlagDefinition> definitions) {
    auto* frame = new QGroupBox(title);
    frame->setObjectName(QLatin1String(name));
    auto* boxes = new QVBoxLayout(frame);
    for (const FlagDefinition& definition : definitions)
        boxes->addWidget(addFlagBox(definition));
    return frame;
}

void OptionsDialog::showEvent(QShowEvent* event) {
    Form_Activate();
    QDialog::showEvent(event);
}

// The options of the settings file become the program's and show in the
// boxes, and the drive list shows the drives of the moment.
void OptionsDialog::Form_Activate() {
    state_.loadOptions();
    const Options options = state_.options();
    for (const FlagBox& flagBox : flagBoxes_)
        flagBox.box->setChecked(options.*flagBox.flag != 0);

    // A default drive that is not there now is kept, but none is picked.
    const QSignalBlocker quiet(driveList_);
    driveList_->clear();
    int picked = -1;
    for (const Drive& drive : state_.drives.letters()) {
        driveList_->addItem(drive.display());
        if (options.oStartupDrive.left(1).compare(drive.letter, Qt::CaseInsensitive) == 0)
            picked = driveList_->count() - 1;
    }
    driveList_->setCurrentIndex(picked);
    showStartupDrive(options.oStartupDrive);
}

void OptionsDialog::oStartupDrive2_Change(int index) {
    if (index >= 0)
        showStartupDrive(driveList_->itemText(index).left(2));
}

void OptionsDialog::showStartupDrive(const QString& drive) {
    startupDrive_ = drive.toUpper();
    driveLabel_->setText(kDriveLabelText + startupDrive_);
}

void OptionsDialog::cmdOK_Click() {
    Options chosen;
    for (const FlagBox& flagBox : flagBoxes_)
        chosen.*flagBox.flag = flagBox.box->isChecked() ? 1 : 0;
    chosen.oStartupDrive = startupDrive_;
    state_.setOptions(chosen);
    if (!state_.settingsFile().saveOptions(chosen))
        state_.prompter.message(
            QStringLiteral("The options could not be saved in %1.  They apply until Kestro Pro "
                           "ends or the options are opened again.")
                .arg(state_.settingsFile().path()));
    accept();
}

void OptionsDialog::cmdCancel_Click() {
    reject();
}

} // namespace kestro
