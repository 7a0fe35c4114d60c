#include "cataloguing/gui/CatalogDialog.h"

#include "catalog/Catalog.h"
#include "catalog/CatalogError.h"
#include "catalog/DisplayRules.h"
#include "cataloguing/gui/ChangesWindow.h"
#include "cataloguing/gui/DiscPictures.h"
#include "platform/DriveProbe.h"
#include "platform/YieldEvents.h"
#include "platform/gui/Prompter.h"
#include "platform/gui/SoundPlayer.h"
#include "settings/gui/ProgramState.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <limits>

namespace kestro {

namespace {

constexpr int kAnimationMs = 200;
constexpr int kAnswerPollMs = 100;
// How soon Abort takes effect while the run waits.
constexpr int kAbortCheckMs = 10;
// A drive is asked for up to 15 seconds; this long the dialog waits for the
// answer before it gives up on the drive.
constexpr int kAnswerWaitMs = DriveProbe::kDriveWaitMs + 1000;

const QString kIdle = QStringLiteral("<idle>");
const QString kClose = QStringLiteral("C&lose");
const QString kAbort = QStringLiteral("&Abort");
const QString kDriveNotReady = QStringLiteral("Drive not ready or unavailable...");

QString driveOf(const Drive& drive) {
    return QString(drive.letter.toLower()) + QLatin1Char(':');
}

} // namespace

void CatalogDialog::showFor(ProgramState& state, std::function<void()> refreshViews,
                            QWidget* parent) {
    if (state.isReadOnly()) {
        state.prompter.message(kReadOnlyMessage);
        return;
    }
    CatalogDialog dialog(state, std::move(refreshViews), parent);
    dialog.Form_Activate();
    dialog.exec();
}

CatalogDialog::CatalogDialog(ProgramState& state, std::function<void()> refreshViews,
                             QWidget* parent)
    : QDialog(parent), state_(state), refreshViews_(std::move(refreshViews)),
      probe_(new DriveProbe(state.drives, DriveProbe::kDriveWaitMs, this)),
      drive1_(new QComboBox(this)),
      check1_(new QCheckBox(QStringLiteral("Clear existing file/folder descriptions?"), this)),
      check2_(new QCheckBox(QStringLiteral("Eject media when done?"), this)),
      command1_(new QPushButton(QStringLiteral("&Catalog"), this)),
      command2_(new QPushButton(kClose, this)),
      mapFolder_(new QPushButton(QStringLiteral("Map a &Folder..."), this)),
      unmapFolder_(new QPushButton(QStringLiteral("For&get Folder"), this)),
      changes_(new QPushButton(QStringLiteral("C&hanges..."), this)),
      label1_(new QLabel(kIdle, this)), walkCounts_(new QLabel(this)),
      progressBar1_(new QProgressBar(this)), pic1_(new QLabel(this)), timer1_(new QTimer(this)) {
    setObjectName(QStringLiteral("fCatalog"));
    setWindowTitle(QStringLiteral("Catalog disk"));
    drive1_->setObjectName(QStringLiteral("Drive1"));
    check1_->setObjectName(QStringLiteral("Check1"));
    check2_->setObjectName(QStringLiteral("Check2"));
    command1_->setObjectName(QStringLiteral("Command1"));
    command2_->setObjectName(QStringLiteral("Command2"));
    mapFolder_->setObjectName(QStringLiteral("MapFolder"));
    unmapFolder_->setObjectName(QStringLiteral("UnmapFolder"));
    changes_->setObjectName(QStringLiteral("Changes"));
    label1_->setObjectName(QStringLiteral("Label1"));
    walkCounts_->setObjectName(QStringLiteral("WalkCounts"));
    progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    pic1_->setObjectName(QStringLiteral("Pic1"));
    timer1_->setObjectName(QStringLiteral("Timer1"));

    mapFolder_->setToolTip(QStringLiteral("Give a folder of your choice a drive letter, so that "
                                          "it can be catalogued like a disk"));
    unmapFolder_->setToolTip(
        QStringLiteral("The selected drive's letter no longer stands for its folder"));
    changes_->setToolTip(QStringLiteral("What the last run found changed since the volume was "
                                        "catalogued before"));
    label1_->setTextFormat(Qt::PlainText);
    walkCounts_->setTextFormat(Qt::PlainText);
    drive1_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    drive1_->setMinimumContentsLength(28);
    progressBar1_->setTextVisible(false);
    progressBar1_->setRange(0, 100);
    progressBar1_->setValue(0);
    pic1_->setPixmap(DiscPicture(kDiscAtRest));
    pic1_->setFixedSize(pic1_->pixmap().size());
    command1_->setDefault(true);

    auto* frame1 = new QGroupBox(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* driveLabel = new QLabel(QStringLiteral("&Drive:"), frame1);
    driveLabel->setBuddy(drive1_);
    auto* options = new QGridLayout(frame1);
    options->addWidget(driveLabel, 0, 0);
    options->addWidget(drive1_, 0, 1, 1, 2);
    options->addWidget(mapFolder_, 1, 1);
    options->addWidget(unmapFolder_, 1, 2);
    options->addWidget(check2_, 2, 0, 1, 3);
    options->addWidget(check1_, 3, 0, 1, 3);
    options->setColumnStretch(1, 1);
    options->setColumnStretch(2, 1);

    auto* status = new QVBoxLayout;
    status->addWidget(label1_);
    status->addWidget(walkCounts_);
    auto* progress = new QHBoxLayout;
    progress->addWidget(pic1_);
    progress->addLayout(status, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(changes_);
    buttons->addStretch();
    buttons->addWidget(command1_);
    buttons->addWidget(command2_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame1);
    layout->addLayout(progress);
    layout->addWidget(progressBar1_);
    layout->addLayout(buttons);

    connect(command1_, &QPushButton::clicked, this, &CatalogDialog::Command1_Click);
    connect(command2_, &QPushButton::clicked, this, &CatalogDialog::Command2_Click);
    connect(mapFolder_, &QPushButton::clicked, this, &CatalogDialog::MapFolder_Click);
    connect(unmapFolder_, &QPushButton::clicked, this, &CatalogDialog::UnmapFolder_Click);
    connect(changes_, &QPushButton::clicked, this, &CatalogDialog::Changes_Click);
    connect(drive1_, &QComboBox::currentIndexChanged, this, &CatalogDialog::updateButtons);
    connect(probe_, &DriveProbe::answered, this, &CatalogDialog::driveAnswered);
    connect(timer1_, &QTimer::timeout, this, &CatalogDialog::Timer1_Timer);
    timer1_->start(kAnimationMs);
}

CatalogDialog::~CatalogDialog() {
    setWaitCursor(false);
}

QString CatalogDialog::kindSuffix(QChar letter, int driveType) {
    const QChar lower = letter.toLower();
    if (lower == QLatin1Char('a') || lower == QLatin1Char('b'))
        return QStringLiteral(" - Floppy Disk");
    switch (driveType) {
    case DriveType::Removable:
        return QStringLiteral(" - Removable");
    case DriveType::Fixed:
        return QStringLiteral(" - Hard Disk");
    case DriveType::Network:
        return QStringLiteral(" - Network Share");
    case DriveType::CdRom:
        return QStringLiteral(" - CD-ROM");
    case DriveType::RamDisk:
        return QStringLiteral(" - RAM Disk");
    default:
        return {};
    }
}

// The drive list and the options

void CatalogDialog::Form_Activate() {
    YieldEvents(50);
    state_.sounds.play(cue::kOpenWindow);
    const QString startupDrive = state_.options().oStartupDrive.trimmed();
    fillDrives(startupDrive.isEmpty() ? QChar() : startupDrive[0]);
    pic1_->setPixmap(DiscPicture(kDiscAtRest));
    check1_->setChecked(state_.options().oClearDesc != 0);
    check2_->setChecked(state_.options().oEjectMedia != 0);
}

// Lists the drives there are now, each asked for its kind anew, and selects
// the last one with the letter `selectLetter`, else the first.
void CatalogDialog::fillDrives(QChar selectLetter) {
    drives_ = state_.drives.letters();
    unanswered_.clear();
    drive1_->clear();
    int selected = 0;
    for (size_t i = 0; i < drives_.size(); ++i) {
        const Drive& drive = drives_[i];
        drive1_->addItem(itemText(drive));
        if (drive.letter.toLower() == selectLetter.toLower())
            selected = int(i);
        unanswered_.insert(drive.letter);
        probe_->ask(drive);
    }
    drive1_->setCurrentIndex(drives_.empty() ? -1 : selected);
    updateButtons();
}

QString CatalogDialog::itemText(const Drive& drive) const {
    return drive.display().toLower() + kindSuffix(drive.letter, drive.type);
}

void CatalogDialog::driveAnswered(const Drive& answer) {
    for (size_t i = 0; i < drives_.size(); ++i) {
        if (drives_[i].letter == answer.letter && drives_[i].root == answer.root) {
            drives_[i] = answer;
            drive1_->setItemText(int(i), itemText(answer));
            unanswered_.remove(answer.letter);
        }
    }
}

std::optional<Drive> CatalogDialog::selectedDrive() const {
    const int index = drive1_->currentIndex();
    if (index < 0 || size_t(index) >= drives_.size())
        return std::nullopt;
    return drives_[size_t(index)];
}

void CatalogDialog::updateButtons() {
    const std::optional<Drive> drive = selectedDrive();
    command2_->setEnabled(!running_ || busy_);
    mapFolder_->setEnabled(!running_);
    unmapFolder_->setEnabled(!running_ && drive && drive->mappedFolder);
    drive1_->setEnabled(!running_);
    const auto changed = [](const ChangeRun& run) {
        return run.added + run.removed + run.changed > 0;
    };
    changes_->setEnabled(!running_ && lastOutcome_ && lastOutcome_->changes &&
                         changed(*lastOutcome_->changes));
    check1_->setEnabled(!running_); // the run has read them
    check2_->setEnabled(!running_);
}

void CatalogDialog::MapFolder_Click() {
    const std::optional<QString> folder = state_.prompter.existingFolder(
        QStringLiteral("Choose a folder to catalog"), QDir::homePath());
    if (!folder)
        return;
    QString refusal;
    const QChar letter = state_.drives.mapToFreeLetter(*folder, refusal);
    if (letter.isNull()) {
        state_.prompter.message(refusal);
        return;
    }
    fillDrives(letter);
}

void CatalogDialog::UnmapFolder_Click() {
    const std::optional<Drive> drive = selectedDrive();
    if (!drive || !drive->mappedFolder)
        return;
    if (!state_.prompter.question(QStringLiteral("Forget that %1 stands for the folder %2?")
                                      .arg(driveOf(*drive), drive->root),
                                  QStringLiteral("Forget Folder")))
        return;
    if (!state_.drives.unmap(drive->letter))
        state_.prompter.message(QStringLiteral("The settings file can't be written: %1 still "
                                               "stands for %2.")
                                    .arg(driveOf(*drive), drive->root));
    fillDrives(QChar());
}

// The run

void CatalogDialog::Command1_Click() {
    const std::optional<Drive> drive = selectedDrive();
    if (running_ || !drive)
        return;
    running_ = true;
    updateButtons();
    catalog(*drive);
    running_ = false;
    updateButtons();
}

void CatalogDialog::catalog(const Drive& drive) {
    if (unanswered_.contains(drive.letter) && !waitForAnswer(drive.letter)) {
        // Asking the drive again here would hold up the window for as long
        // as it keeps its answer.
        message(kDriveNotReady);
        return;
    }
    CatalogRun run(state_.catalog(), state_.drives, state_.drives.system(), state_.programFolder(),
                   *this);
    walkCounts_->clear();
    lastOutcome_ = run.run({driveOf(drive), check1_->isChecked(), check2_->isChecked()});
    const bool catalogued = lastOutcome_->result == CatalogRunOutcome::Result::Catalogued;
    // A server indexes the names of what was catalogued while the user goes on.
    if (catalogued)
        state_.nameIndexing.start(state_.catalog().path());
    // A volume catalogued again tells what changed on it; one catalogued
    // with gaps says so, and where they are.
    QString status = lastOutcome_->changes ? ChangeCountsText(*lastOutcome_->changes) : QString();
    const QString leftOut = LeftOutReport(*lastOutcome_);
    if (catalogued && lastOutcome_->leftOut() > 0)
        status += (status.isEmpty() ? QString() : QStringLiteral(" -- ")) +
                  QStringLiteral("Items left out of the catalog: %1")
                      .arg(CountText(lastOutcome_->leftOut()).trimmed());
    if (!status.isEmpty())
        setStatus(status);
    if (catalogued && !leftOut.isEmpty())
        message(leftOut);
}

void CatalogDialog::Changes_Click() {
    if (!lastOutcome_ || !lastOutcome_->changes)
        return;
    try {
        const Database db = state_.catalog().open();
        const QString name = NullToEmpty(
            db.scalar("SELECT name FROM \"index\" WHERE tablename = ?1", lastOutcome_->tablename));
        ChangesWindow window(state_.prompter, name, *lastOutcome_->changes,
                             ReadChanges(db, lastOutcome_->tablename), this);
        window.exec();
    } catch (const CatalogError& e) {
        message(e.message());
    }
}

bool CatalogDialog::waitForAnswer(QChar letter) {
    setCatalogEnabled(false);
    setStatus(QStringLiteral("Waiting for drive ready..."));
    QElapsedTimer waited;
    waited.start();
    while (unanswered_.contains(letter) && !waited.hasExpired(kAnswerWaitMs))
        waitForEvents(kAnswerPollMs);
    setStatus(kIdle);
    setCatalogEnabled(true);
    return !unanswered_.contains(letter);
}

void CatalogDialog::Command2_Click() {
    if (busy_) {
        abortRequested_ = true;
        return;
    }
    if (running_)
        return;
    accept();
    if (QWidget* main = parentWidget()) {
        main->raise();
        main->activateWindow();
    }
}

void CatalogDialog::reject() {
    if (!running_)
        QDialog::reject();
}

void CatalogDialog::Timer1_Timer() {
    if (!busy_)
        return;
    if (--animationFrame_ < 1)
        animationFrame_ = kDiscFrames;
    pic1_->setPixmap(DiscPicture(animationFrame_));
}

// What the run shows and asks

void CatalogDialog::setTitle(const QString& title) {
    setWindowTitle(title);
}

void CatalogDialog::setStatus(const QString& text) {
    label1_->setText(text);
}

void CatalogDialog::setProgressRange(qint64 maximum) {
    const qint64 largest = std::numeric_limits<int>::max();
    progressDivisor_ = maximum > largest ? maximum / largest + 1 : 1;
    progressBar1_->setRange(0, int(std::max<qint64>(1, maximum / progressDivisor_)));
}

void CatalogDialog::setProgressValue(qint64 value) {
    progressBar1_->setValue(
        int(std::clamp<qint64>(value / progressDivisor_, 0, progressBar1_->maximum())));
}

void CatalogDialog::yieldEvents(int times) {
    YieldEvents(times);
}

void CatalogDialog::setCatalogEnabled(bool enabled) {
    command1_->setEnabled(enabled);
}

void CatalogDialog::setBusy(bool busy) {
    busy_ = busy;
    command2_->setText(busy ? kAbort : kClose);
    updateButtons();
}

void CatalogDialog::setStatusHighlighted(bool highlighted) {
    QPalette colours = label1_->palette();
    colours.setColor(QPalette::WindowText,
                     highlighted ? QColor(Qt::blue) : palette().color(QPalette::WindowText));
    label1_->setPalette(colours);
}

// Over the dialog and the main window alike.
void CatalogDialog::setWaitCursor(bool wait) {
    if (wait == waitCursor_)
        return;
    waitCursor_ = wait;
    if (wait)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void CatalogDialog::showWalkProgress(quint64 folders, quint64 files) {
    const auto counted = [](quint64 count, const char* one, const char* many) {
        return CountText(qint64(count)).trimmed() + QLatin1Char(' ') +
               QLatin1String(count == 1 ? one : many);
    };
    walkCounts_->setText(counted(folders, "folder", "folders") + QStringLiteral(", ") +
                         counted(files, "file", "files") + QStringLiteral(" seen"));
}

// Lets the window run for that long, or until the user asks to stop.
void CatalogDialog::waitForEvents(int milliseconds) {
    QElapsedTimer waited;
    waited.start();
    do {
        QEventLoop loop;
        QTimer::singleShot(std::min(kAbortCheckMs, milliseconds), &loop, &QEventLoop::quit);
        loop.exec();
    } while (!abortRequested_ && !waited.hasExpired(milliseconds));
}

void CatalogDialog::message(const QString& text) {
    state_.prompter.message(text);
}

std::optional<QString> CatalogDialog::askVolumeName(const QString& prompt, const QString& title,
                                                    const QString& defaultName) {
    return state_.prompter.inputText(prompt, title, defaultName);
}

void CatalogDialog::refreshViews() {
    refreshViews_();
}

void CatalogDialog::runFinished(bool catalogued) {
    pic1_->setPixmap(DiscPicture(kDiscAtRest));
    if (catalogued)
        state_.sounds.play(cue::kCatalogDone);
}

void CatalogDialog::clearAbortRequest() {
    abortRequested_ = false;
}

} // namespace kestro
