#pragma once

#include <QDialog>

class QIcon;

namespace kestro {

// "About Kestro Pro": the logo, the name and version, what the program
// does, "&Ok" (Command1), which closes it, and "&Help" (Command2), which
// asks for the help document.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(const QIcon& logo, QWidget* parent = nullptr);

Q_SIGNALS:
    void helpRequested();
};

} // namespace kestro
