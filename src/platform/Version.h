#pragma once

#include <QString>

namespace kestro {

// The version the program shows in its caption, splash and about windows.
inline const QString kVersionText = QStringLiteral("2.0v15");

// "Kestro Pro 2.0v15": the main window's caption before a catalog is loaded.
inline QString ProgramCaption() {
    return QStringLiteral("Kestro Pro ") + kVersionText;
}

} // namespace kestro
