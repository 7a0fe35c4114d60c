#pragma once

#include <QTextBrowser>

namespace kestro {

// The help document in a window of the program's own, for a desktop that
// has no application to show it: its links go to their sections, and
// links out of the document to the desktop.
class HelpWindow : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpWindow(const QString& document, QWidget* parent = nullptr);
};

} // namespace kestro
