#pragma once

#include <QWidget>

class QLabel;

namespace kestro {

// The window shown while the program starts: what it is doing, and the
// version.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget* parent = nullptr);

public Q_SLOTS:
    void setMessage(const QString& text);

private:
    QLabel* lbl_;
};

} // namespace kestro
