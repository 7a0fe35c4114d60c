#include "platform/gui/DrawnIcons.h"

#include <QHash>
#include <QPainter>
#include <QPolygon>
#include <functional>

namespace kestro {

namespace {

const QColor kOutline(0x40, 0x40, 0x40);
const QColor kFolderYellow(0xf2, 0xc9, 0x4c);
const QColor kCategoryBlue(0x7b, 0x8f, 0xd9);

void drawPage(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(Qt::white);
    p.drawPolygon(
        QPolygon({QPoint(3, 1), QPoint(10, 1), QPoint(13, 4), QPoint(13, 14), QPoint(3, 14)}));
    p.drawPolyline(QPolygon({QPoint(10, 1), QPoint(10, 4), QPoint(13, 4)}));
    p.setPen(Qt::gray);
    for (int y = 6; y <= 12; y += 2)
        p.drawLine(5, y, 11, y);
}

// A folder in the colour `body`; an open one shows its front flap tilted.
void drawFolder(QPainter& p, const QColor& body, bool open) {
    p.setPen(kOutline);
    p.setBrush(body.darker(115));
    p.drawRect(1, 3, 5, 2);
    p.drawRect(1, 5, 13, 9);
    if (!open)
        return;
    p.setBrush(body.lighter(115));
    p.drawPolygon(QPolygon({QPoint(4, 8), QPoint(15, 8), QPoint(13, 14), QPoint(1, 14)}));
}

// A drive's box in the colour `body`, with its slot and busy light.
void drawDriveBox(QPainter& p, const QColor& body, int top) {
    p.setPen(kOutline);
    p.setBrush(body);
    p.drawRect(1, top, 14, 6);
    p.drawLine(3, top + 3, 9, top + 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0xc0, 0x30));
    p.drawRect(12, top + 2, 2, 2);
}

void drawFixed(QPainter& p) {
    drawDriveBox(p, QColor(0xb0, 0xb0, 0xb0), 5);
}

void drawRemovable(QPainter& p) {
    drawDriveBox(p, QColor(0xf0, 0x9a, 0x40), 5);
}

void drawNetwork(QPainter& p) {
    drawDriveBox(p, QColor(0xb0, 0xb0, 0xb0), 1);
    p.setPen(kOutline);
    p.drawLine(8, 8, 8, 12);
    p.drawLine(1, 12, 14, 12);
    p.setBrush(QColor(0x50, 0x80, 0xd0));
    p.drawRect(1, 11, 3, 3);
    p.drawRect(11, 11, 3, 3);
}

void drawCd(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(kOutline);
    p.setBrush(QColor(0xd8, 0xd8, 0xe8));
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setBrush(QColor(0xa0, 0xc8, 0xf0));
    p.drawEllipse(QRectF(5, 5, 6, 6));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(6.5, 6.5, 3, 3));
}

void drawFloppy(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(QColor(0x30, 0x30, 0x50));
    p.drawRect(1, 1, 13, 13);
    p.setBrush(QColor(0xc0, 0xc0, 0xc0));
    p.drawRect(4, 1, 7, 4);
    p.setBrush(Qt::white);
    p.drawRect(3, 8, 9, 6);
}

void drawZipDisk(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(QColor(0x30, 0x50, 0xa0));
    p.drawRect(2, 1, 11, 13);
    p.setBrush(Qt::white);
    p.drawRect(4, 3, 7, 4);
    p.setBrush(QColor(0xc0, 0xc0, 0xc0));
    p.drawRect(5, 10, 5, 4);
}

void drawRamDisk(QPainter& p) {
    p.setPen(QColor(0xc8, 0xa0, 0x30));
    for (int x = 3; x <= 12; x += 3) {
        p.drawLine(x, 1, x, 3);
        p.drawLine(x, 12, x, 14);
    }
    p.setPen(kOutline);
    p.setBrush(QColor(0x20, 0x80, 0x40));
    p.drawRect(1, 4, 13, 7);
}

// The catalog: a bound book with a gold band.
void drawLogo(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(Qt::white);
    p.drawRect(4, 2, 10, 12);
    p.setBrush(QColor(0xa0, 0x20, 0x20));
    p.drawRect(2, 1, 10, 13);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe0, 0xb0, 0x30));
    p.drawRect(3, 5, 9, 2);
}

using Drawing = std::function<void(QPainter&)>;

const QHash<QString, Drawing>& drawings() {
    static const QHash<QString, Drawing> byKey = {
        {QStringLiteral("cd"), drawCd},
        {QStringLiteral("fixed"), drawFixed},
        {QStringLiteral("closed"), [](QPainter& p) { drawFolder(p, kFolderYellow, false); }},
        {QStringLiteral("open"), [](QPainter& p) { drawFolder(p, kFolderYellow, true); }},
        {QStringLiteral("floppy"), drawFloppy},
        {QStringLiteral("removable"), drawRemovable},
        {QStringLiteral("zipdisk"), drawZipDisk},
        {QStringLiteral("cat_closed"), [](QPainter& p) { drawFolder(p, kCategoryBlue, false); }},
        {QStringLiteral("cat_open"), [](QPainter& p) { drawFolder(p, kCategoryBlue, true); }},
        {QStringLiteral("leaf"), drawPage},
        {QStringLiteral("ramdisk"), drawRamDisk},
        {QStringLiteral("logo"), drawLogo},
        {QStringLiteral("network"), drawNetwork},
    };
    return byKey;
}

} // namespace

QPixmap DrawnIcon(const QString& key) {
    const auto it = drawings().constFind(key);
    if (it == drawings().cend())
        return QPixmap();
    QImage picture(16, 16, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    (*it)(painter);
    painter.end();
    return QPixmap::fromImage(picture);
}

} // namespace kestro
