#pragma once

#include "cataloguing/CatalogRun.h"
#include "cataloguing/CatalogRunView.h"
#include "platform/DriveTable.h"

#include <QDialog>
#include <QSet>
#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace kestro {

class DriveProbe;
class ProgramState;

// "Catalog disk": the user picks a drive, or maps a folder of their choice
// to a drive letter, sets two options and catalogs the volume in the drive.
// While the run goes on the dialog shows its status line, its progress, how
// many folders and files the walk has seen, and a spinning disc; the second
// button then reads "&Abort" and stops the run.
//
// The drive list is filled at once from the drive letters; each drive's kind
// is asked off the interface thread and shown when the drive answers, so a
// drive that keeps its answer waiting never holds up the window.
class CatalogDialog : public QDialog, public CatalogRunView {
    Q_OBJECT
public:
    // The Catalog a Volume command: refused in read-only mode, otherwise the
    // dialog, modal. `refreshViews` shows the main window's views afresh.
    static void showFor(ProgramState& state, std::function<void()> refreshViews, QWidget* parent);

    CatalogDialog(ProgramState& state, std::function<void()> refreshViews,
                  QWidget* parent = nullptr);
    ~CatalogDialog() override;

    // How the last run ended; nothing before the first.
    const std::optional<CatalogRunOutcome>& lastOutcome() const { return lastOutcome_; }

    // What a drive list item says after the drive's text: " - Removable",
    // " - Hard Disk", ..., " - Floppy Disk" for A: and B: whatever their kind.
    static QString kindSuffix(QChar letter, int driveType);

public Q_SLOTS:
    // Fills the drive list, preselecting the startup drive, and sets the
    // options from the settings (changes are not written back).
    void Form_Activate();
    void Command1_Click(); // "&Catalog"
    void Command2_Click(); // "C&lose", or "&Abort" while busy
    void Timer1_Timer();   // the busy animation
    void MapFolder_Click();
    void UnmapFolder_Click();

protected:
    // Escape and the close box act as "C&lose"; during a run they do nothing.
    void reject() override;

    // What the cataloguing run shows and asks.
    void setTitle(const QString& title) override;
    void setStatus(const QString& text) override;
    void setProgressRange(qint64 maximum) override;
    void setProgressValue(qint64 value) override;
    void yieldEvents(int times) override;
    bool abortRequested() const override { return abortRequested_; }
    void setCatalogEnabled(bool enabled) override;
    void setBusy(bool busy) override;
    void setStatusHighlighted(bool highlighted) override;
    void setWaitCursor(bool wait) override;
    void showWalkProgress(quint64 folders, quint64 files) override;
    void waitForEvents(int milliseconds) override;
    void message(const QString& text) override;
    std::optional<QString> askVolumeName(const QString& prompt, const QString& title,
                                         const QString& defaultName) override;
    void refreshViews() override;
    void runFinished(bool catalogued) override;
    void clearAbortRequest() override;

private:
    void fillDrives(QChar selectLetter);
    void driveAnswered(const Drive& drive);
    QString itemText(const Drive& drive) const;
    std::optional<Drive> selectedDrive() const;
    // Waits, with the window running, for the drive list to learn the kind of
    // the drive `letter`; false when it has not answered in time.
    bool waitForAnswer(QChar letter);
    void catalog(const Drive& drive);
    void updateButtons();

    ProgramState& state_;
    std::function<void()> refreshViews_;
    DriveProbe* probe_;

    QComboBox* drive1_;
    QCheckBox* check1_;
    QCheckBox* check2_;
    QPushButton* command1_;
    QPushButton* command2_;
    QPushButton* mapFolder_;
    QPushButton* unmapFolder_;
    QLabel* label1_;
    QLabel* walkCounts_;
    QProgressBar* progressBar1_;
    QLabel* pic1_;
    QTimer* timer1_;

    std::vector<Drive> drives_; // in the order of the list
    QSet<QChar> unanswered_;    // letters whose kind is still being asked
    std::optional<CatalogRunOutcome> lastOutcome_;
    qint64 progressDivisor_ = 1; // the bar counts in ints
    int animationFrame_ = 0;
    bool running_ = false;
    bool busy_ = false; // the run walks or imports: the second button aborts
    bool abortRequested_ = false;
    bool waitCursor_ = false;
};

} // namespace kestro
