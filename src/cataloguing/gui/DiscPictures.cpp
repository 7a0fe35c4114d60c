#include "cataloguing/gui/DiscPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace kestro {

namespace {

constexpr int kSide = 40;
constexpr QPointF kCentre(kSide / 2.0, kSide / 2.0);
constexpr qreal kOuter = kSide / 2.0 - 2;
constexpr qreal kLabel = 8;
constexpr qreal kHole = 3;

// A ring between two radii, as a path.
QPainterPath ring(qreal outer, qreal inner) {
    QPainterPath path;
    path.addEllipse(kCentre, outer, outer);
    QPainterPath hole;
    hole.addEllipse(kCentre, inner, inner);
    return path.subtracted(hole);
}

} // namespace

QPixmap DiscPicture(int image) {
    QPixmap picture(kSide, kSide);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    QRadialGradient silver(kCentre, kOuter);
    silver.setColorAt(0, QColor(0xf4, 0xf6, 0xf8));
    silver.setColorAt(1, QColor(0xb8, 0xc0, 0xc8));
    painter.setPen(QPen(QColor(0x70, 0x78, 0x80), 1));
    painter.setBrush(silver);
    painter.drawPath(ring(kOuter, kHole));

    if (image >= 1 && image <= kDiscFrames) {
        // A light sweep that turns a fifth of a round from one frame to the
        // next; the frames run 5, 4, 3, 2, 1, so the disc turns clockwise.
        const qreal start = 90 + 72.0 * image;
        QPainterPath sweep;
        sweep.moveTo(kCentre);
        sweep.arcTo(QRectF(kCentre.x() - kOuter, kCentre.y() - kOuter, 2 * kOuter, 2 * kOuter),
                    start, 50);
        sweep.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x3d, 0x8e, 0xe6, 150));
        painter.drawPath(sweep.intersected(ring(kOuter - 0.5, kLabel)));
    }

    painter.setPen(QPen(QColor(0x70, 0x78, 0x80), 1));
    painter.setBrush(image == kDiscAtRest ? QColor(0xd8, 0xdc, 0xe0) : QColor(0xe8, 0x9a, 0x3c));
    painter.drawPath(ring(kLabel, kHole));
    return picture;
}

} // namespace kestro
