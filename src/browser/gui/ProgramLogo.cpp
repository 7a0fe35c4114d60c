#include "browser/gui/ProgramLogo.h"

#include "platform/gui/ImageStore.h"

#include <QApplication>

namespace kestro {

QIcon ProgramLogo(const ImageStore& images) {
    const QIcon own = QApplication::windowIcon();
    return own.isNull() ? images.icon(QStringLiteral("logo")) : own;
}

} // namespace kestro
