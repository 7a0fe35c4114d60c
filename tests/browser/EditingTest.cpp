#include "ProgramUnderTest.h"
#include "browser/gui/CatalogTree.h"
#include "browser/gui/ContentsList.h"
#include "catalog/Catalog.h"
#include "catalog/Schema.h"
#include "support/ModalDialog.h"
#include "support/TestSupport.h"

#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace kestro;
using kestro::test::ProgramUnderTest;
using kestro::test::whenDialogShows;

namespace {

const QString kDeleteAll = "Delete ALL selected items?";
const QString kDeleteThis = "Delete this item?";
const QString kDeleteDescription = "Delete this description?";

QString describePrompt(const QString& itemText) {
    return "Enter a description for '" + itemText +
           "', or leave blank and click OK to erase an existing one.";
}

QStringList categoryKeys(ProgramUnderTest& program) {
    QStringList keys;
    Statement s = program.openCatalog().prepare("SELECT \"key\" FROM categories ORDER BY \"key\"");
    while (s.next())
        keys << s.text(0);
    return keys;
}

bool volumeTablesExist(ProgramUnderTest& program, const QString& tablename) {
    Statement s = program.openCatalog().prepare(
        "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN (?1, ?2)");
    s.bind(1, schema::dirsTable(tablename));
    s.bind(2, schema::filesTable(tablename));
    return s.next() && s.integer(0) == 2;
}

// Selects the list rows with these first-column texts, as a user does with
// the control key held.
void selectRows(ProgramUnderTest& program, const QStringList& texts) {
    program.list().clearSelection();
    for (const QString& text : texts) {
        const QModelIndex index = program.list().model()->index(program.rowOf(text), 0);
        program.list().scrollTo(index);
        QTest::mouseClick(program.list().viewport(), Qt::LeftButton, Qt::ControlModifier,
                          program.list().visualRect(index).center());
    }
}

// Right-clicks a selected row, keeping the selection, and runs the entry of
// the context menu that comes up.
void runFromRowMenu(ProgramUnderTest& program, const QString& rowText, const char* entry) {
    const QModelIndex index = program.list().model()->index(program.rowOf(rowText), 0);
    QTest::mouseClick(program.list().viewport(), Qt::RightButton, Qt::ControlModifier,
                      program.list().visualRect(index).center());
    QMenu* menu = program.takeShownMenu();
    QVERIFY(menu);
    QCOMPARE(menu->objectName(), QString("files"));
    menu->findChild<QAction*>(entry)->trigger();
}

void runFromNodeMenu(ProgramUnderTest& program, const QString& key, const char* entry) {
    program.clickNode(key, Qt::RightButton);
    QMenu* menu = program.takeShownMenu();
    QVERIFY(menu);
    menu->findChild<QAction*>(entry)->trigger();
}

// Types `text` into the label editor the tree has open and confirms it.
void typeLabel(ProgramUnderTest& program, const QString& text) {
    QLineEdit* editor = nullptr;
    for (QLineEdit* candidate : program.tree().viewport()->findChildren<QLineEdit*>())
        if (candidate->isVisible())
            editor = candidate;
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    const QPointer<QLineEdit> open = editor;
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!open || !open->isVisible()); // the edit ends once the key is handled
}

void chooseCategory(QDialog& chooser, const QString& key) {
    auto* tree = chooser.findChild<CatalogTree*>("TreeView1");
    tree->setCurrentItem(tree->node(key));
    chooser.findChild<QPushButton*>("Command1")->click();
}

} // namespace

class EditingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aNewCategoryTakesTheSmallestFreeKey() {
        ProgramUnderTest program;
        program.openCatalog().execute(
            "INSERT INTO categories (\"key\", category) VALUES (4, 'Four')");
        QVERIFY(program.start());
        program.prompter.answerText("Tom's \"best\" 100%");
        QTest::keyClick(&program.window(), Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(program.prompter.questions, QStringList({"Enter NEW Category name"}));
        QCOMPARE(categoryKeys(program), QStringList({"1", "2", "3", "4"}));
        QCOMPARE(program.node("`3")->text(0), QString("Tom's \"best\" 100%"));
        QCOMPARE(program.sounds.played.last(), QString("openwindow.wav"));

        // Keys 2, 3, 4 give 1; an empty or cancelled name adds nothing.
        program.openCatalog().execute("DELETE FROM categories WHERE \"key\" = 1");
        for (const auto& answer : {std::optional<QString>(""), std::optional<QString>()}) {
            program.prompter.answer(answer);
            runFromNodeMenu(program, "~", "rootNewCategory");
        }
        QCOMPARE(categoryKeys(program), QStringList({"2", "3", "4"}));
        program.prompter.answerText("First again");
        QTest::mouseClick(program.window().findChild<QWidget*>("bCategory"), Qt::LeftButton);
        QCOMPARE(categoryKeys(program), QStringList({"1", "2", "3", "4"}));
        QVERIFY(program.prompter.messages.isEmpty());
    }

    void categorizingMovesTheSelectedVolumesAndTheRootMeansNone() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        // Files are not categorized.
        program.clickNode(program.gamesKey);
        selectRows(program, {"README"});
        runFromRowMenu(program, "README", "filesCategorize");
        QCOMPARE(program.prompter.messages,
                 QStringList({"You can only categorize volumes, not files, folders or other "
                              "categories..."}));
        // A category among the volumes is passed over.
        program.clickNode("~");
        selectRows(program, {" Empty", " GAMES DISK", " Music"});
        QString chooserTitle;
        whenDialogShows("fCategorize", [&](QDialog& chooser) {
            chooserTitle = chooser.windowTitle();
            chooseCategory(chooser, "`2");
        });
        runFromRowMenu(program, " Music", "filesCategorize");
        QCOMPARE(chooserTitle, QString("Categorize"));
        QCOMPARE(program.catalogValue("SELECT category FROM \"index\" WHERE tablename = ?",
                                      program.games),
                 QString("2"));
        QCOMPARE(program.catalogValue("SELECT category FROM \"index\" WHERE tablename = ?",
                                      program.music),
                 QString("2"));
        QCOMPARE(program.node(program.gamesKey)->parent(), program.node("`2"));

        program.clickNode("`2");
        selectRows(program, {" GAMES DISK"});
        whenDialogShows("fCategorize", [](QDialog& chooser) { chooseCategory(chooser, "~"); });
        runFromRowMenu(program, " GAMES DISK", "filesCategorize");
        QCOMPARE(program.catalogValue("SELECT category FROM \"index\" WHERE tablename = ?",
                                      program.games),
                 QString("0"));
        QCOMPARE(program.node(program.gamesKey)->parent(), program.node("~"));
        QCOMPARE(program.node(program.musicKey)->parent(), program.node("`2"));

        // Closing the chooser changes nothing.
        program.clickNode("`2");
        selectRows(program, {" Music"});
        whenDialogShows("fCategorize", [](QDialog& chooser) { chooser.close(); });
        runFromRowMenu(program, " Music", "filesCategorize");
        QCOMPARE(program.node(program.musicKey)->parent(), program.node("`2"));
    }

    void renamingStoresTheTextTypedAndRefusesFolders() {
        ProgramUnderTest program;
        program.setOption("oSmartCaps", "1");
        QVERIFY(program.start());
        program.clickNode(program.gamesKey);
        program.pressKeyInTree(Qt::Key_F2);
        typeLabel(program, "GAMES \"two\" 50%");
        QCOMPARE(
            program.catalogValue("SELECT name FROM \"index\" WHERE tablename = ?", program.games),
            QString("GAMES \"two\" 50%"));
        QCOMPARE(program.node(program.gamesKey)->text(0), QString("GAMES \"two\" 50%"));

        runFromNodeMenu(program, "`1", "categoriesRename");
        typeLabel(program, "Older Stuff");
        QCOMPARE(program.catalogValue("SELECT category FROM categories WHERE \"key\" = 1"),
                 QString("Older Stuff"));
        program.clickNode("~");
        program.pressKeyInTree(Qt::Key_F2);
        typeLabel(program, "My 'discs'");
        QCOMPARE(program.catalogValue("SELECT name FROM \"Name\""), QString("My 'discs'"));

        // An empty label, and a folder, keep their old text.
        program.clickNode(program.musicKey);
        program.pressKeyInTree(Qt::Key_F2);
        typeLabel(program, "");
        QCOMPARE(program.node(program.musicKey)->text(0), QString("Music"));
        QCOMPARE(
            program.catalogValue("SELECT name FROM \"index\" WHERE tablename = ?", program.music),
            QString("Music"));
        const QString doom = program.gamesKey + "\\DOOM";
        program.clickNode(doom);
        program.window().findChild<QAction*>("volumesRename")->trigger();
        typeLabel(program, "QUAKE");
        QCOMPARE(program.prompter.messages,
                 QStringList({"You can only change database, category or volume names..."}));
        QCOMPARE(program.node(doom)->text(0), QString("Doom"));
        QCOMPARE(program.catalogValue("SELECT count(*) FROM " +
                                      quoteIdentifier(schema::dirsTable(program.games)) +
                                      " WHERE name = 'QUAKE'"),
                 QString("0"));
    }

    void deletingTwoVolumesAndACategoryAsksOnceAndRefreshesOnce() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        program.clickNode("~");
        selectRows(program, {" GAMES DISK", " Music", " Old Stuff"});
        // Answering No changes nothing.
        program.prompter.answer(false);
        program.list().setFocus();
        QTest::keyClick(&program.list(), Qt::Key_Delete);
        QVERIFY(volumeTablesExist(program, program.games));

        QSignalSpy refreshes(&program.window(), &Form1::viewsRefreshed);
        program.prompter.answer(true);
        QTest::keyClick(&program.list(), Qt::Key_Delete);
        QCOMPARE(program.prompter.questions, QStringList({kDeleteAll, kDeleteAll}));
        QCOMPARE(refreshes.count(), 1);
        QCOMPARE(program.catalogValue("SELECT count(*) FROM \"index\""), QString("0"));
        QCOMPARE(categoryKeys(program), QStringList({"2"}));
        for (const QString& volume : {program.games, program.music, program.backup})
            QVERIFY(!volumeTablesExist(program, volume));
        QCOMPARE(program.columnTexts(0), QStringList({" Empty"}));
        QVERIFY(program.prompter.messages.isEmpty());
    }

    void deletingATreeNodeAsksFirst() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        program.clickNode(program.musicKey);
        program.prompter.answer(false);
        program.pressKeyInTree(Qt::Key_Delete);
        QVERIFY(program.node(program.musicKey));
        program.prompter.answer(true);
        program.pressKeyInTree(Qt::Key_Delete);
        QCOMPARE(program.prompter.questions, QStringList({kDeleteThis, kDeleteThis}));
        QVERIFY(!program.node(program.musicKey));
        QVERIFY(!volumeTablesExist(program, program.music));
        // A category goes with its volumes.
        program.prompter.answer(true);
        runFromNodeMenu(program, "`1", "categoriesDelete");
        QVERIFY(!program.node("`1"));
        QCOMPARE(program.catalogValue("SELECT tablename FROM \"index\""), program.games);
        QVERIFY(!volumeTablesExist(program, program.backup));

        // The Delete key passes folders by; the command itself refuses them
        // even when the user says Yes.
        program.prompter.questions.clear();
        const QString doom = program.gamesKey + "\\DOOM";
        program.clickNode(doom);
        program.pressKeyInTree(Qt::Key_Delete);
        QCOMPARE(program.prompter.questions, QStringList());
        program.prompter.answer(true);
        program.window().findChild<QAction*>("volumesDelete")->trigger();
        QCOMPARE(program.prompter.questions, QStringList({kDeleteThis}));
        QCOMPARE(program.prompter.messages,
                 QStringList({"Can only delete volumes or whole categories..."}));
        QVERIFY(program.node(doom));
        QCOMPARE(program.catalogValue("SELECT count(*) FROM " +
                                      quoteIdentifier(schema::dirsTable(program.games)) +
                                      " WHERE name = 'DOOM'"),
                 QString("1"));
    }

    void deletingFolderAndFileRowsLeavesWhatTheFolderHolds() {
        ProgramUnderTest program;
        program.setOption("oSmartCaps", "1"); // the list shows "Doom" and "Readme"
        QVERIFY(program.start());
        program.clickNode(program.gamesKey);
        selectRows(program, {" Doom", "Readme"});
        program.prompter.answer(true);
        runFromRowMenu(program, "Readme", "filesDelete");
        const std::string dirs = quoteIdentifier(schema::dirsTable(program.games));
        const std::string files = quoteIdentifier(schema::filesTable(program.games));
        QCOMPARE(program.catalogValue("SELECT count(*) FROM " + dirs + " WHERE name = 'DOOM'"),
                 QString("0"));
        QCOMPARE(program.catalogValue("SELECT count(*) FROM " + files + " WHERE name = 'README'"),
                 QString("0"));
        QCOMPARE(
            program.catalogValue("SELECT count(*) FROM " + dirs + " WHERE parent = 'W:\\DOOM'"),
            QString("1")); // MAPS
        QCOMPARE(
            program.catalogValue("SELECT count(*) FROM " + files + " WHERE parent = 'W:\\DOOM'"),
            QString("2"));
        QVERIFY(!program.node(program.gamesKey + "\\DOOM"));
    }

    void describingSetsChangesAndErasesDescriptions() {
        ProgramUnderTest program;
        program.setOption("oSmartCaps", "1");
        QVERIFY(program.start());
        const std::string files = quoteIdentifier(schema::filesTable(program.games));
        const std::string readme = "SELECT thedescription FROM " + files + " WHERE name = 'README'";
        program.clickNode(program.gamesKey);
        selectRows(program, {"Readme", " Doom"}); // described in list order
        program.prompter.answerText("The game");
        program.prompter.answerText("Tom's \"read me\"");
        runFromRowMenu(program, "Readme", "filesDescribe");
        QCOMPARE(program.prompter.questions,
                 QStringList({describePrompt(" Doom"), describePrompt("Readme")}));
        QCOMPARE(program.catalogValue(readme), QString("Tom's \"read me\""));
        QCOMPARE(program.catalogValue("SELECT thedescription FROM " +
                                      quoteIdentifier(schema::dirsTable(program.games)) +
                                      " WHERE name = 'DOOM'"),
                 QString("The game"));
        QCOMPARE(program.list().contents().row(program.rowOf("Readme")).texts[4],
                 QString("Tom's \"read me\""));

        // An empty answer asks before a description goes, and not at all
        // when there is none.
        program.prompter.questions.clear();
        selectRows(program, {"Readme"});
        program.prompter.answerText("");
        program.prompter.answer(true);
        runFromRowMenu(program, "Readme", "filesDescribe");
        program.prompter.answerCancel();
        runFromRowMenu(program, "Readme", "filesDescribe");
        QCOMPARE(
            program.prompter.questions,
            QStringList({describePrompt("Readme"), kDeleteDescription, describePrompt("Readme")}));
        QCOMPARE(program.catalogValue(readme), QString("<null>"));
        QCOMPARE(program.list().contents().row(program.rowOf("Readme")).texts[4], QString());
    }

    void describingAVolumeSkipsCategoriesAndFollowsWithoutAReload() {
        ProgramUnderTest program;
        program.setOption("oSmartCaps", "1");
        QVERIFY(program.start());
        program.clickNode("~");
        selectRows(program, {" Empty", " Games Disk"});
        program.prompter.answerText("Shareware, 1994");
        QSignalSpy refreshes(&program.window(), &Form1::viewsRefreshed);
        runFromRowMenu(program, " Games Disk", "filesDescribe");
        QCOMPARE(program.prompter.messages,
                 QStringList({"Can't add descriptions to categories. Skipping selected "
                              "category..."}));
        QCOMPARE(program.catalogValue("SELECT thedescription FROM \"index\" WHERE tablename = ?",
                                      program.games),
                 QString("Shareware, 1994"));
        QCOMPARE(refreshes.count(), 0);
        // The root's rows are made again from the figures kept with the tree.
        program.clickNode(program.musicKey);
        program.clickNode("~");
        QCOMPARE(program.list().contents().row(program.rowOf(" Games Disk")).texts[5],
                 QString("Shareware, 1994"));
    }

    void readOnlyModeRefusesEveryEditBeforeAskingAnything() {
        ProgramUnderTest program;
        program.setOption("oNetworkShared", "0");
        QVERIFY(program.start());
        const QByteArray before = test::readAll(program.catalogPath());
        program.clickNode("~");
        selectRows(program, {" GAMES DISK"});
        QTest::keyClick(&program.window(), Qt::Key_W, Qt::ControlModifier);
        QTest::keyClick(&program.window(), Qt::Key_C, Qt::ControlModifier);
        for (const char* entry : {"filesCategorize", "filesDelete", "filesDescribe"})
            runFromRowMenu(program, " GAMES DISK", entry);
        program.list().setFocus();
        QTest::keyClick(&program.list(), Qt::Key_Delete);
        program.clickNode(program.gamesKey);
        program.pressKeyInTree(Qt::Key_F2);
        program.pressKeyInTree(Qt::Key_Delete);
        for (QLineEdit* editor : program.tree().viewport()->findChildren<QLineEdit*>())
            QVERIFY(!editor->isVisible());
        QCOMPARE(program.prompter.questions, QStringList());
        QCOMPARE(program.prompter.messages, QStringList(8, kReadOnlyMessage));
        QCOMPARE(test::readAll(program.catalogPath()), before);
    }

    void aDeletionThatFailsPartWayLeavesTheCatalogAsItWas() {
        ProgramUnderTest program;
        program.openCatalog().executeScript(
            "CREATE TRIGGER keep_music BEFORE DELETE ON \"index\" WHEN old.name = 'Music' "
            "BEGIN SELECT RAISE(ABORT, 'Music stays'); END;");
        QVERIFY(program.start());
        program.clickNode("~");
        selectRows(program, {" GAMES DISK", " Music"}); // the games disk goes first
        program.prompter.answer(true);
        QSignalSpy refreshes(&program.window(), &Form1::viewsRefreshed);
        runFromRowMenu(program, " Music", "filesDelete");
        QCOMPARE(program.prompter.messages.size(), 1);
        QVERIFY2(program.prompter.messages[0].startsWith("Nothing was deleted. The catalog is as "
                                                         "it was."),
                 qPrintable(program.prompter.messages[0]));
        QVERIFY(program.prompter.messages[0].contains("Music stays"));
        QCOMPARE(refreshes.count(), 0);
        QCOMPARE(program.catalogValue("SELECT count(*) FROM \"index\""), QString("3"));
        QVERIFY(volumeTablesExist(program, program.games));
        QVERIFY(program.node(program.gamesKey));
    }
};

QTEST_MAIN(EditingTest)
#include "EditingTest.moc"
