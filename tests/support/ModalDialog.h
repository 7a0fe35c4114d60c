#pragma once

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace kestro::test {

// Acts on the modal dialog named `objectName` as soon as it is up, from
// within its event loop: call this, then the command that opens it. A dialog
// that `act` leaves open (a failed check returns early) is cancelled, so a
// failing test never hangs on it.
inline void whenDialogShows(const QString& objectName, std::function<void(QDialog&)> act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, objectName, act = std::move(act)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != objectName || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        act(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    poll->start();
}

// Picks the drive of `letter` in the choose-drive dialog (fDrive) and confirms.
inline void chooseDrive(QDialog& fDrive, QChar letter) {
    auto* drives = fDrive.findChild<QComboBox*>("Drive1");
    for (int i = 0; i < drives->count(); ++i)
        if (drives->itemText(i).startsWith(letter))
            drives->setCurrentIndex(i);
    fDrive.findChild<QPushButton*>("Command1")->click();
}

} // namespace kestro::test
