#pragma once

#include "browser/gui/PictureButton.h"

#include <QWidget>
#include <functional>
#include <vector>

class QHBoxLayout;

namespace kestro {

// The row of picture buttons across the top of the main window, between its
// end pictures `bStart` and `tail`, 3 pixels apart. A button shows its
// hovering look while the pointer moves over it and its pressed look while
// pressed; every other button then rests. A press sets the row's press flag
// until the release, and the release runs the button's command wherever the
// pointer is by then: pressing, dragging off and releasing still runs it.
// Moving over the end pictures or the row's background rests every button.
class PictureButtonRow : public QWidget {
    Q_OBJECT
public:
    explicit PictureButtonRow(QWidget* parent = nullptr);

    PictureButton* addButton(const QString& name, const QIcon& picture, const QString& toolTip,
                             std::function<void()> command);

    bool isPressed() const { return pressed_; }

public Q_SLOTS:
    // Every button but `keep` shows its resting look; all of them without one.
    void resetAllExcept(const PictureButton* keep = nullptr);
    void resetAll() { resetAllExcept(nullptr); }

Q_SIGNALS:
    void clickDown();
    void clickUp();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QWidget* addEndPicture(const QString& name);

    QHBoxLayout* layout_;
    QWidget* tail_;
    std::vector<PictureButton*> buttons_;
    bool pressed_ = false;
};

} // namespace kestro
