#pragma once

#include <QApplication>
#include <QListWidget>
#include <QStringList>
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

// The texts of a list's rows, or of its selected rows only.
inline QStringList entries(QListWidget& list, bool selectedOnly) {
    QStringList texts;
    for (int row = 0; row < list.count(); ++row)
        if (!selectedOnly || list.item(row)->isSelected())
            texts << list.item(row)->text();
    return texts;
}

// The visible top-level window named `name`, if there is one.
inline QWidget* shownWindow(const char* name) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String(name) && window->isVisible())
            return window;
    return nullptr;
}

} // namespace kestro::test
