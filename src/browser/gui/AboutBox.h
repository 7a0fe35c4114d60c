#pragma once

#include <QDialog>

namespace kestro {

// "About Kestro Pro": the program's name and version.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
};

} // namespace kestro
