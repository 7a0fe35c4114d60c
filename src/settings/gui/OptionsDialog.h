#pragma once

#include "settings/Options.h"

#include <QDialog>
#include <initializer_list>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;

namespace kestro {

class ProgramState;

// "Options": the options of the settings file, each a check box but the
// default catalog drive, which is picked in a drive list.
//
// Each showing reads the options afresh from the settings file into the
// program's options, so the boxes show what the program uses. OK makes the
// options in the boxes the program's options and saves them (telling the
// user when the file cannot be written: the options then hold until the
// program ends or the dialog reads the file again); the caller rebuilds the
// views when the dialog was accepted.
// Cancel changes nothing.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    // "Your Current Default  is - ", which the drive OK keeps follows.
    static const QString kDriveLabelText;

    explicit OptionsDialog(ProgramState& state, QWidget* parent = nullptr);

public Q_SLOTS:
    void Form_Activate();
    void oStartupDrive2_Change(int index);
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct FlagDefinition {
        const char* name;
        const char* caption; // UTF-8
        qint16 Options::*flag;
    };
    struct FlagBox {
        QCheckBox* box;
        qint16 Options::*flag;
    };

    QCheckBox* addFlagBox(const FlagDefinition& definition);
    QGroupBox* addFrame(const char* name, const QString& title,
                        std::initializer_list<FlagDefinition> definitions);
    void showStartupDrive(const QString& drive);

    ProgramState& state_;
    std::vector<FlagBox> flagBoxes_;
    QComboBox* driveList_;
    QLabel* driveLabel_;
    QString startupDrive_; // the drive OK keeps
};

} // namespace kestro
