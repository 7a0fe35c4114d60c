#include "platform/YieldEvents.h"

#include <QCoreApplication>

namespace kestro {

void YieldEvents(int times) {
    for (int i = 0; i < times; ++i)
        QCoreApplication::processEvents();
}

} // namespace kestro
