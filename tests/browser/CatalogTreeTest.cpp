#include "browser/gui/CatalogTree.h"

#include "ProgramUnderTest.h"
#include "browser/gui/ContentsList.h"
#include "catalog/Database.h"
#include "catalog/StoredTexts.h"

#include <QLineEdit>
#include <QMenu>
#include <QtTest>

using namespace kestro;
using kestro::test::ProgramUnderTest;

namespace {

QStringList childKeys(QTreeWidgetItem* node) {
    QStringList keys;
    for (int i = 0; i < node->childCount(); ++i)
        keys << CatalogTree::keyOf(node->child(i));
    return keys;
}

QString shownImage(ProgramUnderTest& program, const QString& key) {
    return CatalogTree::imageOf(program.node(key));
}

} // namespace

class CatalogTreeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theTreeShowsRootCategoriesVolumesAndTopFolders() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        QTreeWidgetItem* root = program.node("~");
        QCOMPARE(root->text(0), QString("Kestro Catalog"));
        QVERIFY(root->isExpanded());
        // Categories first, then the volumes by drive kind and name.
        const QString games = program.gamesKey;
        const QString music = program.musicKey;
        QCOMPARE(childKeys(root), QStringList({"`1", "`2", games, music}));
        QCOMPARE(childKeys(program.node("`1")), QStringList({program.backupKey}));
        QCOMPARE(childKeys(program.node(games)),
                 QStringList({games + "\\DOOM", games + "\\GAMES", games + "\\OLD"}));
        QCOMPARE(program.node(games)->text(0), QString("GAMES DISK"));
        QCOMPARE(shownImage(program, games), QString("fixed"));
        QCOMPARE(shownImage(program, "`1"), QString("cat_closed"));
        QCOMPARE(shownImage(program, games + "\\DOOM"), QString("closed"));
        // Deeper folders wait until their parent's parent is shown.
        QCOMPARE(program.node(games + "\\DOOM")->childCount(), 0);
        QCOMPARE(program.window().windowTitle(), "Kestro Pro 2.0v15 - " + program.catalogPath());

        // The list holds the categories and the volumes outside them.
        QCOMPARE(program.columnTexts(0),
                 QStringList({" Old Stuff", " Empty", " GAMES DISK", " Music"}));
        QCOMPARE(program.columnTexts(5)[0], QString(" Category"));
        QCOMPARE(program.list().mode(), ListMode::Volumes);
    }

    void selectingSwapsTheOpenAndClosedPictures() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        const QString games = program.gamesKey;
        program.clickNode(games + "\\DOOM");
        QCOMPARE(shownImage(program, games + "\\DOOM"), QString("open"));
        program.clickNode(games + "\\GAMES");
        QCOMPARE(shownImage(program, games + "\\DOOM"), QString("closed"));
        QCOMPARE(shownImage(program, games + "\\GAMES"), QString("open"));
        program.clickNode("`1");
        QCOMPARE(shownImage(program, games + "\\GAMES"), QString("closed"));
        QCOMPARE(shownImage(program, "`1"), QString("cat_open"));
        program.clickNode(games);
        QCOMPARE(shownImage(program, "`1"), QString("cat_closed"));
        QCOMPARE(shownImage(program, games), QString("fixed"));
    }

    void expandingShowsTheNodeWithoutSwappingPictures() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        const QString doom = program.gamesKey + "\\DOOM";
        program.clickNode(program.gamesKey); // loads DOOM's sub-folders
        QTreeWidgetItem* node = program.node(doom);
        QCOMPARE(node->childCount(), 1);
        program.tree().expandItem(node->parent());
        const QRect row = program.tree().visualItemRect(node);
        const QPoint expandButton(row.left() - program.tree().indentation() / 2, row.center().y());
        QTest::mouseClick(program.tree().viewport(), Qt::LeftButton, {}, expandButton);
        QVERIFY(node->isExpanded());
        QCOMPARE(program.tree().currentItem(), node);
        QCOMPARE(program.columnTexts(0).first(), QString(" MAPS"));
        QCOMPARE(CatalogTree::imageOf(node), QString("closed"));
        // Shown one level ahead: MAPS has its sub-folder now.
        QCOMPARE(program.node(doom + "\\MAPS")->childCount(), 1);
    }

    void showingAFolderReadsOnlyChildrenWithoutSubFolders() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        const QString games = program.gamesKey;
        program.clickNode(games); // DOOM, GAMES and OLD get their sub-folders
        // A folder that appears behind the program's back shows only where
        // the tree still has to read.
        const Database db = Database::open(program.catalogPath(), OpenMode::SharedReadWrite);
        db.execute("INSERT INTO " + quoteIdentifier(program.games + "_dirs") +
                   " (name, parent, size) VALUES ('NEW', 'W:\\DOOM', '1KB'), "
                   "('NEW', 'W:\\DOOM\\MAPS\\OLD', '1KB')");
        program.clickNode(games + "\\DOOM");
        QCOMPARE(childKeys(program.node(games + "\\DOOM")), QStringList({games + "\\DOOM\\MAPS"}));
        // MAPS had no sub-folders yet and was read; OLD is read when MAPS shows.
        QCOMPARE(childKeys(program.node(games + "\\DOOM\\MAPS")),
                 QStringList({games + "\\DOOM\\MAPS\\OLD"}));
        program.clickNode(games + "\\DOOM\\MAPS");
        QCOMPARE(childKeys(program.node(games + "\\DOOM\\MAPS\\OLD")),
                 QStringList({games + "\\DOOM\\MAPS\\OLD\\NEW"}));
        // Two folders of one name in two places are two nodes.
        QVERIFY(program.node(games + "\\OLD\\GAMES") != program.node(games + "\\GAMES"));
    }

    void theStatusLineSummarisesTheSelectedVolume() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        QCOMPARE(program.window().statusText(), QString(" "));
        program.clickNode(program.musicKey);
        const QString summary = program.window().statusText();
        const Database db = Database::open(program.catalogPath(), OpenMode::SharedReadWrite);
        Statement volume =
            db.prepare("SELECT size, dirs, files FROM \"index\" WHERE tablename = ?");
        volume.bind(1, program.music);
        QVERIFY(volume.next());
        const QString expectedStart =
            " Music -- Capacity: " + SizeText(volume.real(0)).trimmed() + " - ";
        const QString expectedEnd =
            QString(" -- %1 dirs, %2 files").arg(volume.integer(1)).arg(volume.integer(2));
        QVERIFY2(summary.startsWith(expectedStart) && summary.endsWith(expectedEnd) &&
                     summary.contains(" free - ") && summary.contains(" used -- Cataloged on "),
                 qPrintable(summary));
        program.clickNode("~"); // the root keeps it
        QCOMPARE(program.window().statusText(), summary);
        program.clickNode(program.musicKey + "\\Albums");
        QCOMPARE(program.window().statusText(), QString(" "));
    }

    void clickingTheShownNodeAgainReadsNothing() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        program.clickNode(program.musicKey + "\\Albums");
        QCOMPARE(program.columnTexts(0), QStringList({"song.mp3"}));
        const Database db = Database::open(program.catalogPath(), OpenMode::SharedReadWrite);
        db.execute("INSERT INTO " + quoteIdentifier(program.music + "_files") +
                   " (name, parent, size) VALUES ('late.mp3', 'X:\\Albums', '1KB')");
        program.clickNode(program.musicKey + "\\Albums");
        QCOMPARE(program.columnTexts(0), QStringList({"song.mp3"}));
    }

    void clicksWaitWhileTheListIsFilled() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        QTreeWidgetItem* music = program.node(program.musicKey);
        const QPoint musicAt = program.tree().visualItemRect(music).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(
                program.tree().viewport(),
                new QMouseEvent(type, musicAt, program.tree().viewport()->mapToGlobal(musicAt),
                                Qt::LeftButton, Qt::LeftButton, {}));
        // Filling the list lets waiting events run: the click on Music among them.
        program.window().ShowNode(program.node(program.gamesKey));
        QCoreApplication::processEvents();
        QVERIFY(program.tree().currentItem() != music);
        QCOMPARE(program.columnTexts(0).first(), QString(" DOOM"));
    }

    void keysMoveTheSelectionAndShowTheNode() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        const QString games = program.gamesKey;
        program.clickNode(games + "\\DOOM");
        program.pressKeyInTree(Qt::Key_Down);
        QCOMPARE(program.tree().selectedKey(), games + "\\GAMES");
        QCOMPARE(shownImage(program, games + "\\DOOM"), QString("closed"));
        QCOMPARE(shownImage(program, games + "\\GAMES"), QString("open"));
        QCOMPARE(program.columnTexts(0), QStringList({"tetris.com"}));
    }

    void eachKindOfNodeHasItsMenu() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        const std::pair<QString, QString> kinds[] = {{program.gamesKey, "volumes"},
                                                     {"`1", "categories"},
                                                     {"~", "root"},
                                                     {program.gamesKey + "\\DOOM", ""}};
        for (const auto& [key, menu] : kinds) {
            program.clickNode(key, Qt::RightButton);
            QMenu* shown = program.takeShownMenu();
            QCOMPARE(shown ? shown->objectName() : QString(), menu);
        }
        QMenu* volumes = program.window().findChild<QMenu*>("volumes");
        QCOMPARE(volumes->title(), QString("&Volumes"));
        QStringList entries;
        for (QAction* entry : volumes->actions())
            entries << entry->text() + (entry->isEnabled() ? "" : " (off)");
        QCOMPARE(entries, QStringList({"&Rename", "&Delete"}));
    }

    void smartCapsCapitalisesNamesInTreeAndList() {
        ProgramUnderTest program;
        program.setOption("oSmartCaps", "1");
        QVERIFY(program.start());
        QCOMPARE(program.node(program.gamesKey)->text(0), QString("Games Disk"));
        QVERIFY(program.columnTexts(0).contains(" Games Disk"));
        program.clickNode(program.gamesKey + "\\DOOM");
        QCOMPARE(program.columnTexts(0), QStringList({" Maps", "Doom.exe", "Readme.txt"}));
    }

    void aBrokenVolumeOrLostCategoryHidesNothingElse() {
        ProgramUnderTest program;
        {
            const Database db = Database::open(program.catalogPath(), OpenMode::SharedReadWrite);
            db.execute("DROP TABLE " + quoteIdentifier(program.games + "_dirs"));
            db.execute("DELETE FROM categories WHERE \"key\" = 1");
        }
        QVERIFY(program.start());
        QVERIFY(!program.node(program.gamesKey));
        QCOMPARE(program.node(program.backupKey)->parent(), program.node("~"));
        QVERIFY(program.node(program.musicKey + "\\Albums"));
    }

    void labelEditsReportTheNewText() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        QSignalSpy edits(&program.tree(), &CatalogTree::labelEdited);
        QTreeWidgetItem* music = program.node(program.musicKey);
        program.tree().setCurrentItem(music);
        program.tree().startLabelEdit(music);
        auto* editor = program.tree().findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText("Jazz");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(edits.count(), 1);
        QCOMPARE(edits[0], QVariantList({program.musicKey, "Music", "Jazz"}));
        QVERIFY(!music->flags().testFlag(Qt::ItemIsEditable));
    }
};

QTEST_MAIN(CatalogTreeTest)
#include "CatalogTreeTest.moc"
