// Takes a picture of Kestro Pro's main window as the screen shows it, for the
// README: the window over the current catalog of a program folder, with a
// volume (and a folder of it) selected as a user would.
//
//   window-shot PROGRAM-FOLDER OUTPUT.png [VOLUME [FOLDER]]
//
// Run it on a real display or under Xvfb (scripts/screenshot.sh does).

#include "browser/gui/CatalogTree.h"
#include "browser/gui/Form1.h"
#include "platform/gui/IconTheme.h"
#include "settings/gui/DesktopServices.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <cstdio>

using namespace kestro;

namespace {

QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, const QString& text) {
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == text)
            return parent->child(i);
    return nullptr;
}

// Clicks `node` in the tree and opens it, as the user does.
void clickAndOpen(CatalogTree& tree, QTreeWidgetItem* node) {
    tree.scrollToItem(node);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(node).center());
    tree.expandItem(node);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: window-shot PROGRAM-FOLDER OUTPUT.png [VOLUME [FOLDER]]\n");
        return 2;
    }
    UseDesktopIconTheme();
    DesktopServices services(QString::fromLocal8Bit(argv[1]));
    Form1 window(services.state());
    if (!window.start())
        return 1;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    auto& tree = *window.findChild<CatalogTree*>(QStringLiteral("lstpers"));
    QTreeWidgetItem* node = tree.topLevelItem(0);
    for (int i = 3; i < argc && node; ++i) {
        node = childNamed(node, QString::fromLocal8Bit(argv[i]));
        if (node)
            clickAndOpen(tree, node);
    }
    QTest::qWait(500);
    const QPixmap shot = window.screen()->grabWindow(
        0, window.frameGeometry().x(), window.frameGeometry().y(), window.frameGeometry().width(),
        window.frameGeometry().height());
    if (!shot.save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "window-shot: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
