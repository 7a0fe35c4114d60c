#pragma once

#include <QIcon>
#include <QPixmap>
#include <QWidget>
#include <array>

namespace kestro {

// A button of the main window's button row, drawn in one of three looks. It
// only reports the mouse; PictureButtonRow decides the looks and runs the
// command.
class PictureButton : public QWidget {
    Q_OBJECT
public:
    enum class Look { Resting, Hovering, Pressed };

    PictureButton(const QString& name, const QIcon& picture, const QString& toolTip,
                  QWidget* parent = nullptr);

    Look look() const { return look_; }
    void setLook(Look look);

    QSize sizeHint() const override;

Q_SIGNALS:
    void mousePressed();
    void mouseMoved();
    void mouseReleased();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void drawLooks();

    QIcon picture_;
    std::array<QPixmap, 3> looks_;
    Look look_ = Look::Resting;
};

} // namespace kestro
