#include "ProgramUnderTest.h"
#include "browser/gui/CatalogTree.h"
#include "browser/gui/ContentsList.h"
#include "browser/gui/PaneSplitter.h"
#include "browser/gui/PictureButton.h"
#include "platform/gui/CatalogFileOpener.h"
#include "support/NamedControl.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QMenuBar>
#include <QScrollBar>
#include <QSplitterHandle>
#include <QTextBrowser>
#include <QtTest>

using namespace kestro;
using kestro::test::ProgramUnderTest;

namespace {

PictureButton* button(ProgramUnderTest& program, const char* name) {
    return program.window().findChild<PictureButton*>(name);
}

// "bNew=Resting bOpen=Hovering ..."
QString looks(ProgramUnderTest& program) {
    const char* lookNames[] = {"Resting", "Hovering", "Pressed"};
    QStringList shown;
    for (const char* name : {"bNew", "bOpen", "bCompact"})
        shown << QString(name) + "=" + lookNames[int(button(program, name)->look())];
    return shown.join(' ');
}

void moveOver(QWidget* widget) {
    QTest::mouseMove(widget, widget->rect().center());
}

// Drags the bar between tree and list so that its left edge is dropped at
// `x` in the window's panes.
void dropBarAt(PaneSplitter& panes, int x) {
    QSplitterHandle* bar = panes.handle(1);
    const QPoint grip(bar->width() / 2, bar->height() / 2);
    QTest::mousePress(bar, Qt::LeftButton, {}, grip);
    const QPoint target = bar->mapFromGlobal(panes.mapToGlobal(QPoint(x, 0) + grip));
    QMouseEvent move(QEvent::MouseMove, target, bar->mapToGlobal(target), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(bar, &move);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, target);
}

} // namespace

class WindowControlsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void controlsCarryTheirNamesAndTips() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        const std::pair<const char*, const char*> tips[] = {
            {"bNew", " New Database "},
            {"bOpen", " Open a Database "},
            {"bExport", " Export Data "},
            {"bCatalog", " Catalog a Disk "},
            {"bCompact", " Compact this Database "},
            {"bCategory", " New Category "},
            {"bFind", " Search/Find "},
            {"bOptions", " Options "},
            {"Image2", " About Kestro Pro "},
            {"lstTel", " Right-click object(s) for more options "}};
        for (const auto& [name, tip] : tips)
            QCOMPARE(program.window().findChild<QWidget*>(name)->toolTip(), QString(tip));
        for (const char* name : {"bStart", "tail", "Splitter", "StatusBar1", "lstpers"})
            QVERIFY2(program.window().findChild<QWidget*>(name), name);
        // Left to right, 3 pixels apart.
        int right = program.window().findChild<QWidget*>("bStart")->geometry().right();
        for (const char* name : {"bNew", "bOpen", "bExport", "bCatalog", "bCategory", "bCompact",
                                 "bFind", "bOptions", "tail"}) {
            const QRect at = program.window().findChild<QWidget*>(name)->geometry();
            QCOMPARE(at.left(), right + 1 + 3);
            right = at.right();
        }
    }

    void menusHoldEveryCommandWithItsShortcut() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        QStringList entries;
        for (QAction* menu : program.window().menuBar()->actions()) {
            entries << menu->text();
            for (QAction* entry : menu->menu()->actions())
                if (!entry->isSeparator())
                    entries << "  " + entry->text() + " " + entry->shortcut().toString() +
                                   (entry->isEnabled() ? "" : " (off)");
        }
        QCOMPARE(entries, QStringList({"&File", "  &New Database Ctrl+N", "  &Open Database Ctrl+O",
                                       "  Open &Hosted Catalog... ", "  &Export Ctrl+E",
                                       "  &New Category Ctrl+W", "  E&xit Ctrl+X", "&Tools",
                                       "  &Catalog a Volume Ctrl+C", "  &Search Ctrl+F",
                                       "  C&ompact Database Ctrl+M", "  &Options Ctrl+T", "&Help",
                                       "  &Help Topics F1", "  &About Kestro Pro Ctrl+A"}));
        // A button follows its command.
        auto* search = program.window().findChild<QAction*>("mnuSearch");
        QVERIFY(button(program, "bFind")->isEnabled());
        search->setEnabled(false);
        QVERIFY(!button(program, "bFind")->isEnabled());
        search->setEnabled(true);
        QVERIFY(button(program, "bFind")->isEnabled());
    }

    void buttonsShowHoverAndPressAndRestElsewhere() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        moveOver(button(program, "bNew"));
        QCOMPARE(looks(program), QString("bNew=Hovering bOpen=Resting bCompact=Resting"));
        moveOver(button(program, "bOpen"));
        QCOMPARE(looks(program), QString("bNew=Resting bOpen=Hovering bCompact=Resting"));
        QTest::mousePress(button(program, "bCompact"), Qt::LeftButton);
        QCOMPARE(looks(program), QString("bNew=Resting bOpen=Resting bCompact=Pressed"));
        program.prompter.answer(false);
        QTest::mouseRelease(button(program, "bCompact"), Qt::LeftButton);
        QCOMPARE(program.prompter.questions, QStringList({"Compact current database now?"}));
        moveOver(program.tree().viewport());
        QCOMPARE(looks(program), QString("bNew=Resting bOpen=Resting bCompact=Resting"));
        QCOMPARE(program.sounds.played.mid(1),
                 QStringList({"clickdown.wav", "clickup.wav", "openwindow.wav"}));
    }

    void aPressDraggedOffTheButtonStillRunsItsCommand() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        PictureButton* open = button(program, "bOpen");
        QTest::mousePress(open, Qt::LeftButton);
        moveOver(program.list().viewport());
        program.prompter.answerCancel();
        QTest::mouseRelease(open, Qt::LeftButton, {}, QPoint(300, 200)); // far off the button
        QCOMPARE(program.prompter.questions, QStringList({"Choose a database to open..."}));
    }

    // In the desktop's browser, or in a window of the program's own whose
    // links work when the desktop has none.
    void helpOpensTheHelpDocument() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        program.trigger("mnuHelp");
        QCOMPARE(program.prompter.messages, QStringList({kFileNotFoundMessage}));
        test::writeAll(program.programFile("kestro2.html"),
                       "<html><body><a href='#end'>to the end</a>" +
                           QByteArray("<p>text</p>").repeated(60) +
                           "<h2 id='end'>The end</h2></body></html>");
        const auto helpWindow = [] {
            return qobject_cast<QTextBrowser*>(test::shownWindow("fHelp"));
        };
        program.trigger("mnuHelp");
        QCOMPARE(program.shell.documents, QStringList({program.programFile("kestro2.html")}));
        QVERIFY(!helpWindow());

        program.shell.outcome = Shell::Outcome::NoApplication;
        program.trigger("mnuHelp");
        QCOMPARE(program.prompter.messages, QStringList({kFileNotFoundMessage}));
        QTextBrowser* help = helpWindow();
        QVERIFY(help);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QCOMPARE(help->verticalScrollBar()->value(), 0);
        QTextCursor link = help->document()->find("to the end");
        link.setPosition(link.selectionStart() + 3);
        QTest::mouseClick(help->viewport(), Qt::LeftButton, {}, help->cursorRect(link).center());
        QVERIFY(help->verticalScrollBar()->value() > 0);
    }

    void theListKeepsItsWidthAndNeitherPaneGoesBelowSixty() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        auto& panes = *program.window().findChild<PaneSplitter*>("panes");
        program.window().resize(800, 500);
        QTRY_COMPARE(program.window().width(), 800);
        const int listWidth = program.list().width();
        program.window().resize(700, 500); // the tree gives way
        QTRY_COMPARE(program.list().width(), listWidth);
        program.window().resize(listWidth + 30, 500); // too narrow for both
        QTRY_COMPARE(program.tree().width(), PaneSplitter::kNarrowest);

        program.window().resize(800, 500);
        QTRY_COMPARE(program.window().width(), 800);
        dropBarAt(panes, 10);
        QCOMPARE(program.tree().width(), PaneSplitter::kNarrowest);
        QCOMPARE(panes.listWidth(), program.list().width());
        dropBarAt(panes, panes.width() - 20);
        QCOMPARE(program.list().width(), PaneSplitter::kNarrowest);
        dropBarAt(panes, 300);
        QCOMPARE(program.tree().width(), 300);
        QCOMPARE(panes.listWidth(), panes.width() - 300 - PaneSplitter::kBarWidth);
    }
};

QTEST_MAIN(WindowControlsTest)
#include "WindowControlsTest.moc"
