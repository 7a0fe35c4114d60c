#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;

namespace kestro {

// "Choose Another Drive": asked when a catalogued file is not where its
// drive letter points. The caller shows it modally and reads chosenDrive():
// the chosen drive list item ("e: [STICK]"), or empty when the user
// cancelled.
class DriveChooser : public QDialog {
    Q_OBJECT
public:
    // `drives` are drive list items; the one whose letter is that of
    // `current` ("D:") is preselected. `volumeName` names the volume sought.
    DriveChooser(const QStringList& drives, const QString& current, const QString& volumeName,
                 QWidget* parent = nullptr);

    const QString& chosenDrive() const { return chosenDrive_; }

public Q_SLOTS:
    void Command1_Click(); // Ok
    void Command2_Click(); // Cancel

private:
    QComboBox* drive1_;
    QString chosenDrive_;
};

} // namespace kestro
