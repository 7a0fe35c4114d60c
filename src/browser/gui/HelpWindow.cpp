#include "browser/gui/HelpWindow.h"

#include <QUrl>

namespace kestro {

HelpWindow::HelpWindow(const QString& document, QWidget* parent) : QTextBrowser(parent) {
    setWindowFlag(Qt::Window);
    setObjectName(QStringLiteral("fHelp"));
    setWindowTitle(QStringLiteral("Kestro Pro Help"));
    setOpenExternalLinks(true);
    setSource(QUrl::fromLocalFile(document));
    resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 40);
}

} // namespace kestro
