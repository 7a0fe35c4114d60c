#include "export/gui/ExportDialog.h"

#include "catalog/CatalogError.h"
#include "export/gui/FolderChooser.h"
#include "platform/YieldEvents.h"
#include "platform/gui/Prompter.h"
#include "platform/gui/SoundPlayer.h"
#include "search/SearchState.h"
#include "search/gui/VolumeList.h"
#include "settings/gui/ProgramState.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>
#include <algorithm>

namespace kestro {

namespace {

// The files named when an export is done; a longer list ends in a count.
constexpr int kFilesNamed = 12;

QString writtenText(const QStringList& files, const QString& folder) {
    QStringList names;
    for (const QString& file : files.mid(0, kFilesNamed))
        names << QFileInfo(file).fileName();
    if (files.size() > kFilesNamed)
        names << QStringLiteral("... and %1 more").arg(files.size() - kFilesNamed);
    const QString count =
        files.size() == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(files.size());
    return QStringLiteral("%1 written to %2:\n\n%3")
        .arg(count, QDir::toNativeSeparators(folder), names.join(QLatin1Char('\n')));
}

} // namespace

ExportDialog::ExportDialog(ProgramState& program, SearchState& search, bool fromSearch,
                           QWidget* parent)
    : QDialog(parent), program_(program), search_(search), fromSearch_(fromSearch),
      dir1_(new FolderChooser(this)), dirPath_(new QLabel(this)), list1_(new VolumeList(this)) {
    setObjectName(QStringLiteral("fExport"));
    setWindowTitle(ExportCaption(fromSearch_));
    setModal(true);

    auto* fields = new QGroupBox(QStringLiteral("Fields to Export"), this);
    auto* fieldColumn = new QVBoxLayout(fields);
    for (int i = 0; i < kExportFieldCount; ++i) {
        eField_[size_t(i)] = addOption(fields, "eField", ExportFieldCaption(ExportField(i)), true);
        eField_[size_t(i)]->setProperty("index", i);
        fieldColumn->addWidget(eField_[size_t(i)]);
    }
    fieldColumn->addStretch();

    auto* options = new QGroupBox(QStringLiteral("Format"), this);
    forPrint_ = addOption(options, "forPrint", QStringLiteral("Export for Printout/Email"), false);
    headers_ =
        addOption(options, "headers", QStringLiteral("Create first record of headers"), true);
    delimitCode_ = addOption(options, "delimitCode",
                             QStringLiteral("Delimit fields with TABs not COMMAs"), false);
    quotes_ = addOption(options, "quotes", QStringLiteral("Surround fields with quotes"), true);
    connect(forPrint_, &QCheckBox::toggled, this, &ExportDialog::forPrint_Click);
    auto* optionColumn = new QVBoxLayout(options);
    for (QCheckBox* option : {forPrint_, headers_, delimitCode_, quotes_})
        optionColumn->addWidget(option);

    dir1_->setObjectName(QStringLiteral("Dir1"));
    dirPath_->setObjectName(QStringLiteral("DirPath"));
    dirPath_->setTextFormat(Qt::PlainText);
    dirPath_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    dirPath_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(dir1_, &FolderChooser::folderChanged, dirPath_, [this](const QString& folder) {
        dirPath_->setText(QDir::toNativeSeparators(folder));
        dirPath_->setToolTip(dirPath_->text());
    });
    list1_->setObjectName(QStringLiteral("List1"));

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("OK"));
    ok_->setDefault(true);
    cancel_ = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    cancel_->setObjectName(QStringLiteral("Cancel"));
    connect(ok_, &QPushButton::clicked, this, &ExportDialog::OK_Click);
    connect(cancel_, &QPushButton::clicked, this, &ExportDialog::Cancel_Click);

    auto* left = new QVBoxLayout;
    left->addWidget(fields);
    left->addWidget(options);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Select Directory to export to"), this));
    right->addWidget(dir1_, 3);
    right->addWidget(dirPath_);
    right->addSpacing(6);
    right->addWidget(new QLabel(QStringLiteral("Select Volume(s) to Export"), this));
    right->addWidget(list1_, 2);
    auto* grid = new QGridLayout(this);
    grid->addLayout(left, 0, 0);
    grid->addLayout(right, 0, 1);
    grid->setColumnStretch(1, 1);
    grid->addWidget(buttons, 1, 0, 1, 2);
    resize(std::max(620, sizeHint().width()), sizeHint().height());
}

ExportDialog::~ExportDialog() = default;

QCheckBox* ExportDialog::addOption(QWidget* parent, const char* name, const QString& caption,
                                   bool checked) {
    auto* option = new QCheckBox(caption, parent);
    option->setObjectName(QLatin1String(name));
    option->setChecked(checked);
    return option;
}

// ---------------------------------------------------------------------------
// Filling the dialog

void ExportDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Filled once: a message box closing over the dialog activates it again
    // and must not undo the user's choice of folder and volumes.
    if (!filled_) {
        filled_ = true;
        Form_Activate();
    }
}

void ExportDialog::Form_Activate() {
    program_.sounds.play(cue::kOpenWindow);
    dir1_->setFolder(program_.programFolder());
    try {
        list1_->setVolumes(ListVolumes(program_.catalog().open()));
    } catch (const CatalogError& error) {
        list1_->setVolumes({});
        program_.prompter.message(error.message());
    }
    if (fromSearch_)
        list1_->select(search_.lastSearch().volumes);
    list1_->setEnabled(!fromSearch_);
}

// ---------------------------------------------------------------------------
// The options and the buttons

void ExportDialog::forPrint_Click(bool checked) {
    if (checked) {
        quotes_->setChecked(false);
        delimitCode_->setChecked(true);
        headers_->setChecked(true);
    }
    for (QCheckBox* option : {quotes_, delimitCode_, headers_})
        option->setEnabled(!checked);
}

ExportFormat ExportDialog::format() const {
    ExportFormat format;
    for (int i = 0; i < kExportFieldCount; ++i)
        format.fields[size_t(i)] = eField_[size_t(i)]->isChecked();
    format.forPrint = forPrint_->isChecked();
    format.headers = headers_->isChecked();
    format.tabs = delimitCode_->isChecked();
    format.quotes = quotes_->isChecked();
    return format;
}

void ExportDialog::OK_Click() {
    if (list1_->count() == 0 || exporting_)
        return;
    ExportRequest request;
    request.format = format();
    request.folder = dir1_->folder();
    request.volumes = list1_->selection();
    request.fromSearch = fromSearch_;
    const QScopedValueRollback busy(exporting_, true);
    tellOutcome(ExportRun(program_.catalog(), program_.fileTypes, search_, *this).run(request));
}

void ExportDialog::tellOutcome(const ExportOutcome& outcome) {
    const QString folder = dir1_->folder();
    switch (outcome.result) {
    case ExportOutcome::Result::Refused:
    case ExportOutcome::Result::Failed:
        return; // the user has been told why
    case ExportOutcome::Result::Aborted:
        program_.prompter.message(QStringLiteral("The export was stopped.  ") +
                                  writtenText(outcome.files, folder));
        return;
    case ExportOutcome::Result::Written:
        program_.prompter.message(
            outcome.files.isEmpty()
                ? QStringLiteral("Nothing was written: the volumes chosen hold no rows to export.")
                : writtenText(outcome.files, folder));
        return;
    }
}

void ExportDialog::Cancel_Click() {
    reject();
}

void ExportDialog::reject() {
    if (exporting_)
        search_.requestAbort();
    else
        QDialog::reject();
}

// ---------------------------------------------------------------------------
// What the export shows

void ExportDialog::setCaption(const QString& caption) {
    setWindowTitle(caption);
}

void ExportDialog::setBusy(bool busy) {
    ok_->setEnabled(!busy);
    cancel_->setEnabled(!busy);
}

void ExportDialog::yieldEvents(int times) {
    YieldEvents(times);
}

void ExportDialog::message(const QString& text) {
    program_.prompter.message(text);
}

} // namespace kestro
