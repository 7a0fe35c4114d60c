#include "support/GuiApplication.h"

#include <QApplication>

namespace kestro::test {

void ensureGuiApplication() {
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kestro-test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own globals (the icon loader, the pixmap
    // cache) may be gone before a static application object would be.
    new QApplication(argc, argv);
}

} // namespace kestro::test
