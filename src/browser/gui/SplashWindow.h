#pragma once

#include <QWidget>

class QIcon;
class QLabel;

namespace kestro {

// The window shown while the program starts: the logo, the name and
// version, what the start is doing (`lbl`, "Loading database..." at first)
// and how far it got (`Label1`, which first says what the program is for).
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(const QIcon& logo, QWidget* parent = nullptr);

public Q_SLOTS:
    void setMessage(const QString& text);
    void setProgress(const QString& text);

private:
    QLabel* lbl_;
    QLabel* label1_;
};

} // namespace kestro
