#pragma once

#include <QWidget>

class QIcon;
class QLabel;

namespace kestro {

// The window shown while the program starts: the logo, the name and
// version, and what the start is doing (`lbl`, "Loading database..." at
// first).
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(const QIcon& logo, QWidget* parent = nullptr);

public Q_SLOTS:
    void setMessage(const QString& text);

private:
    QLabel* lbl_;
};

} // namespace kestro
