// Build-time tool: draws the application icon, the drawer of a card catalog
// with discs filed in it, as PNG files of the icon theme's sizes.
//
//   draw-app-icon THEME-FOLDER SIZE...
//
// writes THEME-FOLDER/NxN/apps/kestro.png for every SIZE. Each size is drawn
// afresh rather than scaled down, with less detail where pixels are few.

#include <QConicalGradient>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <algorithm>
#include <cstdio>

namespace {

// The picture is designed on a canvas of 256 units.
constexpr double kCanvas = 256;

// What a size can show.
struct Detail {
    double pixel;   // canvas units per pixel
    int discs;      // discs filed in the drawer
    bool hubs;      // the clamping ring around each disc's hole
    bool label;     // the label holder on the drawer's front
    bool shadow;    // the soft shadow under the drawer
    double outline; // width of outlines, never thinner than a pixel
};

Detail detailFor(int size) {
    const double pixel = kCanvas / size;
    return {pixel, size <= 24 ? 2 : 3, size >= 32, size >= 32, size >= 48, std::max(3.0, pixel)};
}

QPainterPath circle(QPointF centre, double radius) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

// The floor of the open drawer, seen from the front and a little above.
void drawDrawerInside(QPainter& p) {
    const QPolygonF opening({{52, 120}, {204, 120}, {232, 150}, {24, 150}});
    QLinearGradient depth(0, 120, 0, 150);
    depth.setColorAt(0, QColor(0x4a, 0x28, 0x0c));
    depth.setColorAt(1, QColor(0x6e, 0x3c, 0x14));
    p.setPen(Qt::NoPen);
    p.setBrush(depth);
    p.drawPolygon(opening);
}

// A disc standing in the drawer: silver with a rainbow sheen, a clamping
// ring and a hole that lets whatever is behind show through.
void drawDisc(QPainter& p, const Detail& detail, QPointF centre, double radius) {
    const double hole = radius * 0.14;
    QPainterPath disc = circle(centre, radius).subtracted(circle(centre, hole));

    QRadialGradient silver(centre, radius);
    silver.setColorAt(0, QColor(0xf7, 0xf8, 0xfa));
    silver.setColorAt(1, QColor(0xc3, 0xc9, 0xd2));
    p.setPen(Qt::NoPen);
    p.setBrush(silver);
    p.drawPath(disc);

    QConicalGradient sheen(centre, 30);
    const QColor tints[] = {{0xff, 0xa8, 0xd4},
                            {0xff, 0xee, 0x9a},
                            {0x9c, 0xee, 0xff},
                            {0xc8, 0xa8, 0xff},
                            {0xff, 0xa8, 0xd4}};
    for (int i = 0; i < 5; ++i)
        sheen.setColorAt(i / 4.0, tints[i]);
    p.setOpacity(0.45);
    p.setBrush(sheen);
    p.drawPath(disc);
    p.setOpacity(1);

    if (detail.hubs) {
        p.setBrush(QColor(0xe4, 0xe7, 0xec));
        p.setPen(QPen(QColor(0x9a, 0xa2, 0xad), detail.outline * 0.7));
        p.drawPath(circle(centre, radius * 0.33).subtracted(circle(centre, hole)));
    }
    // A rim of a pixel or two must be darker to hold the small sizes together.
    const QColor rim = detail.hubs ? QColor(0x6f, 0x77, 0x82) : QColor(0x4c, 0x53, 0x5c);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(rim, detail.outline));
    p.drawPath(disc);
}

// The drawer's front panel: wood, with a brass handle and, where there is
// room, a brass label holder with a card in it.
void drawDrawerFront(QPainter& p, const Detail& detail) {
    if (detail.shadow) {
        QRadialGradient shade(QPointF(128, 236), 112);
        shade.setColorAt(0, QColor(0, 0, 0, 90));
        shade.setColorAt(1, QColor(0, 0, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawEllipse(QPointF(128, 236), 112, 12);
    }

    const QRectF front(20, 146, 216, 86);
    QLinearGradient wood(0, front.top(), 0, front.bottom());
    wood.setColorAt(0, QColor(0xd0, 0x80, 0x34));
    wood.setColorAt(1, QColor(0x8e, 0x4a, 0x16));
    p.setBrush(wood);
    p.setPen(QPen(QColor(0x5a, 0x2e, 0x0c), detail.outline));
    p.drawRoundedRect(front, 12, 12);
    p.setPen(QPen(QColor(0xf0, 0xb0, 0x6c), detail.outline));
    p.drawLine(QPointF(34, 150 + detail.outline), QPointF(222, 150 + detail.outline));

    const QColor brassLight(0xec, 0xcc, 0x74), brassDark(0x9c, 0x74, 0x1e),
        brassEdge(0x66, 0x4a, 0x0e);
    if (detail.label) {
        const QRectF holder(92, 160, 72, 32);
        p.setBrush(QColor(0xfb, 0xf4, 0xde));
        p.setPen(QPen(brassDark, detail.outline * 1.4));
        p.drawRoundedRect(holder, 3, 3);
        p.setPen(QPen(QColor(0x9a, 0x8c, 0x78), detail.outline * 0.8));
        p.drawLine(QPointF(104, 171), QPointF(152, 171));
        p.drawLine(QPointF(104, 181), QPointF(140, 181));
    }
    const QRectF handle = detail.label ? QRectF(100, 202, 56, 16) : QRectF(84, 174, 88, 28);
    QLinearGradient brass(0, handle.top(), 0, handle.bottom());
    brass.setColorAt(0, brassLight);
    brass.setColorAt(1, brassDark);
    p.setBrush(brass);
    p.setPen(QPen(brassEdge, detail.outline * 0.8));
    p.drawRoundedRect(handle, handle.height() / 2, handle.height() / 2);
}

QImage drawIcon(int size) {
    const Detail detail = detailFor(size);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kCanvas, size / kCanvas);

    drawDrawerInside(p);
    // Filed from the back to the front, each disc a step lower and to the left.
    if (detail.discs == 3) {
        drawDisc(p, detail, {164, 90}, 62);
        drawDisc(p, detail, {128, 104}, 62);
        drawDisc(p, detail, {92, 118}, 62);
    } else {
        drawDisc(p, detail, {152, 92}, 72);
        drawDisc(p, detail, {104, 112}, 72);
    }
    drawDrawerFront(p, detail);
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s THEME-FOLDER SIZE...\n", argv[0]);
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        const QString folder =
            QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (size < 16 || !QDir().mkpath(folder) ||
            !drawIcon(size).save(folder + QStringLiteral("/kestro.png"), "PNG")) {
            std::fprintf(stderr, "cannot draw the %s-pixel icon into %s\n", argv[i], argv[1]);
            return 1;
        }
    }
    return 0;
}
