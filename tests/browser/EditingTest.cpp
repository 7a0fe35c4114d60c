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

QString describePrompt(const QString& itemText) {
    return "Enter a description for '" + itemText +
           "', or leave blank and click OK to erase an existing one.";
}

QString categoryKeys(ProgramUnderTest& program) {
    return program.catalogValue(
        "SELECT group_concat(\"key\") FROM (SELECT \"key\" FROM categories ORDER BY 1)");
}

bool volumeTablesExist(ProgramUnderTest& program, const QString& tablename) {
    const Database db = program.openCatalog();
    return db.hasTable(schema::dirsTable(tablename)) && db.hasTable(schema::filesTable(tablename));
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

// Shows `node`, selects `rows` and runs `entry` from the menu of the last.
void runOnRows(ProgramUnderTest& program, const QString& node, const QStringList& rows,
               const char* entry) {
    program.clickNode(node);
    selectRows(program, rows);
    runFromRowMenu(program, rows.last(), entry);
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

void renameWithF2(ProgramUnderTest& program, const QString& key, const QString& text) {
    program.clickNode(key);
    program.pressKeyInTree(Qt::Key_F2);
    typeLabel(program, text);
}

// Categorizes the selected `rows` of `node` with the chooser set to `category`
// (empty: the chooser is closed).
void categorize(ProgramUnderTest& program, const QString& node, const QStringList& rows,
                const QString& category) {
    whenDialogShows("fCategorize", [category](QDialog& chooser) {
        QCOMPARE(chooser.windowTitle(), QString("Categorize"));
        if (category.isEmpty()) {
            chooser.close();
            return;
        }
        auto* tree = chooser.findChild<CatalogTree*>("TreeView1");
        tree->setCurrentItem(tree->node(category));
        chooser.findChild<QPushButton*>("Command1")->click();
    });
    runOnRows(program, node, rows, "filesCategorize");
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
        QCOMPARE(categoryKeys(program), QString("1,2,3,4"));
        QCOMPARE(program.node("`3")->text(0), QString("Tom's \"best\" 100%"));
        QCOMPARE(program.sounds.played.last(), QString("openwindow.wav"));

        // Keys 2, 3, 4 give 1; an empty or cancelled name adds nothing.
        program.openCatalog().execute("DELETE FROM categories WHERE \"key\" = 1");
        program.prompter.answerText("");
        runFromNodeMenu(program, "~", "rootNewCategory");
        program.prompter.answerCancel();
        runFromNodeMenu(program, "~", "rootNewCategory");
        QCOMPARE(categoryKeys(program), QString("2,3,4"));
        program.prompter.answerText("First again");
        QTest::mouseClick(program.window().findChild<QWidget*>("bCategory"), Qt::LeftButton);
        QCOMPARE(categoryKeys(program), QString("1,2,3,4"));
        QVERIFY(program.prompter.messages.isEmpty());
    }

    void categorizingMovesTheSelectedVolumesAndTheRootMeansNone() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        runOnRows(program, program.gamesKey, {"README"}, "filesCategorize");
        QCOMPARE(program.prompter.messages,
                 QStringList({"You can only categorize volumes, not files, folders or other "
                              "categories..."}));
        // A category among the volumes is passed over.
        categorize(program, "~", {" Empty", " GAMES DISK", " Music"}, "`2");
        QCOMPARE(program.node(program.musicKey)->parent(), program.node("`2"));
        QCOMPARE(program.node(program.gamesKey)->parent(), program.node("`2"));

        categorize(program, "`2", {" GAMES DISK"}, "~");
        QCOMPARE(program.node(program.gamesKey)->parent(), program.node("~"));
        categorize(program, "`2", {" Music"}, ""); // closing the chooser changes nothing
        QCOMPARE(program.node(program.musicKey)->parent(), program.node("`2"));
    }

    void renamingStoresTheTextTypedAndRefusesFolders() {
        ProgramUnderTest program;
        program.setOption("oSmartCaps", "1");
        QVERIFY(program.start());
        renameWithF2(program, program.gamesKey, "GAMES \"two\" 50%");
        QCOMPARE(program.volumeValue("name", program.games), QString("GAMES \"two\" 50%"));
        QCOMPARE(program.node(program.gamesKey)->text(0), QString("GAMES \"two\" 50%"));
        runFromNodeMenu(program, "`1", "categoriesRename");
        typeLabel(program, "Older Stuff");
        QCOMPARE(program.catalogValue("SELECT category FROM categories WHERE \"key\" = 1"),
                 QString("Older Stuff"));
        renameWithF2(program, "~", "My 'discs'");
        QCOMPARE(program.catalogValue("SELECT name FROM \"Name\""), QString("My 'discs'"));

        // An empty label, and a folder, keep their old text.
        renameWithF2(program, program.musicKey, "");
        QCOMPARE(program.node(program.musicKey)->text(0), QString("Music"));
        QCOMPARE(program.volumeValue("name", program.music), QString("Music"));
        const QString doom = program.gamesKey + "\\DOOM";
        program.clickNode(doom);
        program.trigger("volumesRename");
        typeLabel(program, "QUAKE");
        QCOMPARE(program.prompter.messages,
                 QStringList({"You can only change database, category or volume names..."}));
        QCOMPARE(program.node(doom)->text(0), QString("Doom"));
        QCOMPARE(program.rowCount(schema::dirsTable(program.games), "name = 'QUAKE'"), "0");
    }

    void deletingTwoVolumesAndACategoryAsksOnceAndRefreshesOnce() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        program.clickNode("~");
        selectRows(program, {" GAMES DISK", " Music", " Old Stuff"});
        program.prompter.answer(false); // changes nothing
        program.list().setFocus();
        QTest::keyClick(&program.list(), Qt::Key_Delete);
        QVERIFY(volumeTablesExist(program, program.games));

        QSignalSpy refreshes(&program.window(), &Form1::viewsRefreshed);
        program.prompter.answer(true);
        QTest::keyClick(&program.list(), Qt::Key_Delete);
        QCOMPARE(program.prompter.questions, QStringList({kDeleteAll, kDeleteAll}));
        QCOMPARE(refreshes.count(), 1);
        QCOMPARE(program.catalogValue("SELECT count(*) FROM \"index\""), QString("0"));
        QCOMPARE(categoryKeys(program), QString("2"));
        QCOMPARE(program.columnTexts(0), QStringList({" Empty"}));
        QVERIFY(program.prompter.messages.isEmpty());
    }

    void deletingATreeNodeAsksFirstAndFolderRowsLeaveWhatTheyHold() {
        ProgramUnderTest program;
        program.setOption("oSmartCaps", "1"); // the list shows "Doom" and "Readme"
        QVERIFY(program.start());
        program.clickNode(program.musicKey);
        program.prompter.answer(true);
        program.pressKeyInTree(Qt::Key_Delete);
        QVERIFY(!program.node(program.musicKey));
        program.prompter.answer(true);
        runFromNodeMenu(program, "`1", "categoriesDelete");
        QVERIFY(!program.node("`1"));
        QCOMPARE(program.prompter.questions, QStringList({kDeleteThis, kDeleteThis}));

        // The Delete key passes folders by; the command itself refuses them
        // even when the user says Yes.
        program.prompter.questions.clear();
        const QString doom = program.gamesKey + "\\DOOM";
        program.clickNode(doom);
        program.pressKeyInTree(Qt::Key_Delete);
        QCOMPARE(program.prompter.questions, QStringList());
        program.prompter.answer(true);
        program.trigger("volumesDelete");
        QCOMPARE(program.prompter.questions, QStringList({kDeleteThis}));
        QCOMPARE(program.prompter.messages,
                 QStringList({"Can only delete volumes or whole categories..."}));
        QVERIFY(program.node(doom));
        const QString dirs = schema::dirsTable(program.games);
        QCOMPARE(program.rowCount(dirs, "name = 'DOOM'"), "1");

        // From the list a folder row goes (what it holds stays: the
        // editing's own test).
        program.prompter.answer(true);
        runOnRows(program, program.gamesKey, {" Doom", "Readme"}, "filesDelete");
        QCOMPARE(program.rowCount(dirs, "name = 'DOOM'"), "0");
        QCOMPARE(program.rowCount(schema::filesTable(program.games), "name = 'README'"), "0");
        QVERIFY(!program.node(doom));
    }

    void describingSetsChangesAndErasesDescriptionsOfFilesFoldersAndVolumes() {
        ProgramUnderTest program;
        program.setOption("oSmartCaps", "1");
        QVERIFY(program.start());
        const std::string readme = "SELECT thedescription FROM " +
                                   quoteIdentifier(schema::filesTable(program.games)) +
                                   " WHERE name = 'README'";
        const auto shown = [&program] {
            return program.list().contents().row(program.rowOf("Readme")).texts[4];
        };
        program.prompter.answerText("The game"); // described in list order
        program.prompter.answerText("Tom's \"read me\"");
        runOnRows(program, program.gamesKey, {"Readme", " Doom"}, "filesDescribe");
        QCOMPARE(program.prompter.questions,
                 QStringList({describePrompt(" Doom"), describePrompt("Readme")}));
        QCOMPARE(program.catalogValue(readme), QString("Tom's \"read me\""));
        QCOMPARE(program.catalogValue("SELECT thedescription FROM " +
                                      quoteIdentifier(schema::dirsTable(program.games)) +
                                      " WHERE name = 'DOOM'"),
                 QString("The game"));
        QCOMPARE(shown(), QString("Tom's \"read me\""));

        // An empty answer asks before a description goes, and not at all
        // when there is none.
        program.prompter.questions.clear();
        selectRows(program, {"Readme"});
        program.prompter.answerText("");
        program.prompter.answer(true);
        runFromRowMenu(program, "Readme", "filesDescribe");
        program.prompter.answerCancel();
        runFromRowMenu(program, "Readme", "filesDescribe");
        QCOMPARE(program.prompter.questions,
                 QStringList({describePrompt("Readme"), "Delete this description?",
                              describePrompt("Readme")}));
        QCOMPARE(program.catalogValue(readme), QString("<null>"));
        QCOMPARE(shown(), QString());

        // A volume's description skips the categories selected with it and
        // needs no reload: the root's rows come from the figures kept with the tree.
        program.prompter.answerText("Shareware, 1994");
        QSignalSpy refreshes(&program.window(), &Form1::viewsRefreshed);
        runOnRows(program, "~", {" Empty", " Games Disk"}, "filesDescribe");
        QCOMPARE(program.prompter.messages,
                 QStringList({"Can't add descriptions to categories. Skipping selected "
                              "category..."}));
        QCOMPARE(program.volumeValue("thedescription", program.games), QString("Shareware, 1994"));
        QCOMPARE(refreshes.count(), 0);
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
        for (Qt::Key key : {Qt::Key_W, Qt::Key_C, Qt::Key_N, Qt::Key_M})  // category, catalog,
            QTest::keyClick(&program.window(), key, Qt::ControlModifier); // new, compact
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
        QCOMPARE(program.prompter.messages, QStringList(10, kReadOnlyMessage));
        QCOMPARE(test::readAll(program.catalogPath()), before);
        QVERIFY(program.window().windowTitle().endsWith(program.catalogPath() + " (read-only)"));
        // Reading works as ever.
        program.clickNode(program.musicKey + "\\Albums");
        QCOMPARE(program.columnTexts(0), QStringList({"song.mp3"}));
    }

    void aDeletionThatFailsPartWayLeavesTheCatalogAsItWas() {
        ProgramUnderTest program;
        program.openCatalog().executeScript(
            "CREATE TRIGGER keep_music BEFORE DELETE ON \"index\" WHEN old.name = 'Music' "
            "BEGIN SELECT RAISE(ABORT, 'Music stays'); END;");
        QVERIFY(program.start());
        program.prompter.answer(true);
        QSignalSpy refreshes(&program.window(), &Form1::viewsRefreshed);
        runOnRows(program, "~", {" GAMES DISK", " Music"}, "filesDelete"); // games goes first
        QCOMPARE(program.prompter.messages.size(), 1);
        const QString message = program.prompter.messages[0];
        QVERIFY2(message.startsWith("Nothing was deleted. The catalog is as it was.") &&
                     message.contains("Music stays"),
                 qPrintable(message));
        QCOMPARE(refreshes.count(), 0);
        QCOMPARE(program.catalogValue("SELECT count(*) FROM \"index\""), QString("3"));
        QVERIFY(program.node(program.gamesKey));
    }
};

QTEST_MAIN(EditingTest)
#include "EditingTest.moc"
