#pragma once

#include <QPixmap>
#include <QString>

namespace kestro {

// The program's own 16 x 16 pictures of the fixed image keys, drawn at run
// time, for a desktop whose icon theme lacks them (or that has no theme at
// all). A null pixmap for any other key.
QPixmap DrawnIcon(const QString& key);

} // namespace kestro
