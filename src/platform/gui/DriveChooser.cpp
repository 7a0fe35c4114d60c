#include "platform/gui/DriveChooser.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestro {

DriveChooser::DriveChooser(const QStringList& drives, const QString& current,
                           const QString& volumeName, QWidget* parent)
    : QDialog(parent), drive1_(new QComboBox(this)) {
    setObjectName(QStringLiteral("fDrive"));
    setWindowTitle(QStringLiteral("Choose Another Drive"));
    drive1_->setObjectName(QStringLiteral("Drive1"));
    drive1_->addItems(drives);
    for (int i = 0; i < drives.size(); ++i)
        if (drives[i].left(1).compare(current.left(1), Qt::CaseInsensitive) == 0)
            drive1_->setCurrentIndex(i);

    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    connect(ok, &QPushButton::clicked, this, &DriveChooser::Command1_Click);
    connect(cancel, &QPushButton::clicked, this, &DriveChooser::Command2_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* label = new QLabel(volumeName.isEmpty()
                                 ? QStringLiteral("The drive that holds the volume:")
                                 : QStringLiteral("The drive that holds \"%1\":").arg(volumeName),
                             this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setTextFormat(Qt::PlainText);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(drive1_);
    layout->addLayout(buttons);
    setMinimumWidth(280);
}

void DriveChooser::Command1_Click() {
    chosenDrive_ = drive1_->currentText();
    accept();
}

void DriveChooser::Command2_Click() {
    chosenDrive_.clear();
    reject();
}

} // namespace kestro
