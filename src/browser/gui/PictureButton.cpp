#include "browser/gui/PictureButton.h"

#include <QMouseEvent>
#include <QPainter>

namespace kestro {

namespace {

constexpr QSize kButtonSize(32, 28);
constexpr int kPictureSize = 22;

// A frame one pixel wide, lit from the top left when raised and from the
// bottom right when sunk.
void drawBevel(QPainter& painter, const QRect& r, const QColor& lit, const QColor& shaded) {
    painter.setPen(lit);
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(shaded);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}

} // namespace

PictureButton::PictureButton(const QString& name, const QIcon& picture, const QString& toolTip,
                             QWidget* parent)
    : QWidget(parent), picture_(picture) {
    setObjectName(name);
    setToolTip(toolTip);
    setMouseTracking(true);
    setFixedSize(kButtonSize);
    drawLooks();
}

QSize PictureButton::sizeHint() const {
    return kButtonSize;
}

void PictureButton::setLook(Look look) {
    if (look == look_)
        return;
    look_ = look;
    update();
}

// Resting: the picture alone. Hovering: raised, on a lighter face. Pressed:
// sunk, on a darker face, the picture one pixel down and to the right.
void PictureButton::drawLooks() {
    const QPalette& colours = palette();
    const QRect frame(QPoint(0, 0), kButtonSize - QSize(1, 1));
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const QPixmap art =
        picture_.pixmap(QSize(kPictureSize, kPictureSize), devicePixelRatioF(), mode);
    const QPoint centred((kButtonSize.width() - kPictureSize) / 2,
                         (kButtonSize.height() - kPictureSize) / 2);
    for (Look look : {Look::Resting, Look::Hovering, Look::Pressed}) {
        QPixmap canvas(kButtonSize * devicePixelRatioF());
        canvas.setDevicePixelRatio(devicePixelRatioF());
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        QPoint at = centred;
        if (look == Look::Hovering) {
            painter.fillRect(frame, colours.color(QPalette::Midlight));
            drawBevel(painter, frame, colours.color(QPalette::Light),
                      colours.color(QPalette::Dark));
        } else if (look == Look::Pressed) {
            painter.fillRect(frame, colours.color(QPalette::Mid));
            drawBevel(painter, frame, colours.color(QPalette::Shadow),
                      colours.color(QPalette::Light));
            at += QPoint(1, 1);
        }
        painter.drawPixmap(at, art);
        looks_[size_t(look)] = canvas;
    }
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter(this).drawPixmap(0, 0, looks_[size_t(look_)]);
}

void PictureButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange) {
        drawLooks();
        update();
    }
    QWidget::changeEvent(event);
}

void PictureButton::mousePressEvent(QMouseEvent*) {
    Q_EMIT mousePressed();
}

void PictureButton::mouseMoveEvent(QMouseEvent*) {
    Q_EMIT mouseMoved();
}

void PictureButton::mouseReleaseEvent(QMouseEvent*) {
    Q_EMIT mouseReleased();
}

} // namespace kestro
