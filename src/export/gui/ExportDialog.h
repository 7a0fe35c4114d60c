#pragma once

#include "export/ExportRun.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QLabel;
class QPushButton;

namespace kestro {

class FolderChooser;
class ProgramState;
class SearchState;
class VolumeList;

// The export dialog (fExport), shown modally: the fields to export (eField 0
// to 6), the folder the files go to (Dir1), the volumes (List1), the four
// format options (forPrint, headers, delimitCode, quotes), "Ok" and "Close".
//
// Opened for whole volumes it is "Export" and the user chooses the volumes;
// opened for the results of the last search (ExportFromSearch) it is
// "Export Search Results", and the list shows the volumes that search looked
// in, chosen and locked. When an export has run the user is told which
// files it wrote.
class ExportDialog : public QDialog, private ExportView {
    Q_OBJECT
public:
    ExportDialog(ProgramState& program, SearchState& search, bool fromSearch,
                 QWidget* parent = nullptr);
    ~ExportDialog() override;

    bool isExporting() const { return exporting_; }

public Q_SLOTS:
    void forPrint_Click(bool checked);
    void OK_Click();
    void Cancel_Click();
    // Escape or the window's close button: during an export, a request to
    // stop it; otherwise the dialog closes.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QCheckBox* addOption(QWidget* parent, const char* name, const QString& caption, bool checked);
    void Form_Activate();
    ExportFormat format() const;
    void tellOutcome(const ExportOutcome& outcome);

    // What the export shows.
    void setCaption(const QString& caption) override;
    void setBusy(bool busy) override;
    void yieldEvents(int times) override;
    void message(const QString& text) override;

    ProgramState& program_;
    SearchState& search_;
    const bool fromSearch_;
    std::array<QCheckBox*, kExportFieldCount> eField_{};
    FolderChooser* dir1_;
    QLabel* dirPath_;
    VolumeList* list1_;
    QCheckBox* forPrint_ = nullptr;
    QCheckBox* headers_ = nullptr;
    QCheckBox* delimitCode_ = nullptr;
    QCheckBox* quotes_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool filled_ = false;
    bool exporting_ = false;
};

} // namespace kestro
