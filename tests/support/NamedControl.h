#pragma once

#include <QWidget>
#include <stdexcept>
#include <string>

namespace kestro::test {

// The control of `window` named `name`: a missing control fails the test
// with its name rather than crashing it.
template <class T> T& child(QWidget& window, const char* name) {
    auto* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        throw std::runtime_error(std::string("no control ") + name);
    return *found;
}

} // namespace kestro::test
