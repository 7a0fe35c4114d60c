#pragma once

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace kestro::test {

// Acts on the modal window named `name` once it is up: a modal window runs
// its own event loop, so the test's hand must be ready before it opens.
inline void whenModal(const QString& name, std::function<void(QWidget*)> act) {
    QTimer::singleShot(10, [name, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == name)
            act(modal);
        else
            whenModal(name, act);
    });
}

// Picks the drive of `letter` in the choose-drive dialog (fDrive) and confirms.
inline void chooseDrive(QWidget* fDrive, QChar letter) {
    auto* drives = fDrive->findChild<QComboBox*>("Drive1");
    for (int i = 0; i < drives->count(); ++i)
        if (drives->itemText(i).startsWith(letter))
            drives->setCurrentIndex(i);
    fDrive->findChild<QPushButton*>("Command1")->click();
}

} // namespace kestro::test
