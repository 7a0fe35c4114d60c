#include "browser/gui/CatalogTree.h"

#include "ProgramUnderTest.h"
#include "browser/gui/ContentsList.h"
#include "catalog/Database.h"

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
    }

    void selectingByMouseOrKeySwapsPicturesAndSetsTheStatusLine() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        const QString games = program.gamesKey;
        const auto pictures = [&] {
            QStringList shown;
            for (const QString& key : {games + "\\DOOM", games + "\\GAMES", QString("`1"), games})
                shown << shownImage(program, key);
            return shown.join(' ');
        };
        QCOMPARE(program.window().statusText(), QString(" "));
        program.clickNode(games + "\\DOOM");
        QCOMPARE(pictures(), QString("open closed cat_closed fixed"));
        program.pressKeyInTree(Qt::Key_Down);
        QCOMPARE(program.tree().selectedKey(), games + "\\GAMES");
        QCOMPARE(program.columnTexts(0), QStringList({"tetris.com"}));
        QCOMPARE(pictures(), QString("closed open cat_closed fixed"));
        program.clickNode("`1");
        QCOMPARE(pictures(), QString("closed closed cat_open fixed"));
        QTRY_VERIFY(!CatalogTree::onlineAt(program.node(games)).isEmpty());
        program.clickNode(games);
        QCOMPARE(pictures(), QString("closed closed cat_closed fixed"));
        // A volume sums itself up in the status line, with where it is online; the root keeps
        // it, a folder clears it.
        const QString summary = program.window().statusText();
        QVERIFY2(summary.startsWith(" GAMES DISK -- online at " + program.gamesFolder() +
                                    " (W:) -- Capacity: ") &&
                     summary.endsWith(" -- 7 dirs, 13 files"),
                 qPrintable(summary));
        program.clickNode("~");
        QCOMPARE(program.window().statusText(), summary);
        program.clickNode(games + "\\DOOM");
        QCOMPARE(program.window().statusText(), QString(" "));
    }

    void volumesHeldByADriveNowAreMarkedOnlineWhereverTheyAre() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        const auto onlineAt = [&](const QString& key) {
            return CatalogTree::onlineAt(program.node(key));
        };
        QTRY_COMPARE(onlineAt(program.backupKey), program.media.filePath("backup"));
        QCOMPARE(onlineAt(program.musicKey), program.media.filePath("music"));
        const QIcon marked = program.node(program.musicKey)->icon(0);

        // The backup medium goes; the music comes back in another drive.
        QVERIFY(program.drives.table().unmap('Y'));
        QVERIFY(program.drives.table().unmap('X'));
        program.drives.map('M', program.media.filePath("music"));
        program.window().RefreshViews();
        QTRY_COMPARE(onlineAt(program.backupKey), QString());
        QCOMPARE(onlineAt(program.musicKey), program.media.filePath("music"));
        QCOMPARE(program.node(program.musicKey)->toolTip(0),
                 "Online at " + program.media.filePath("music"));
        QVERIFY(program.node(program.backupKey)->toolTip(0).isEmpty());
        QVERIFY(program.node(program.backupKey)->icon(0).pixmap(16).toImage() !=
                marked.pixmap(16).toImage());
        program.clickNode(program.musicKey);
        QVERIFY2(program.window().statusText().startsWith(
                     " Music -- online at " + program.media.filePath("music") + " (M:) -- "),
                 qPrintable(program.window().statusText()));
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
        const Database db = program.openCatalog();
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

        // Clicking the shown node again reads nothing.
        const QStringList rows = program.columnTexts(0);
        db.execute("INSERT INTO " + quoteIdentifier(program.games + "_files") +
                   " (name, parent, size) VALUES ('late.txt', 'W:\\DOOM\\MAPS', '1KB')");
        program.clickNode(games + "\\DOOM\\MAPS");
        QCOMPARE(program.columnTexts(0), rows);
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

    void aBrokenVolumeOrLostCategoryHidesNothingElse() {
        ProgramUnderTest program;
        program.openCatalog().execute("DROP TABLE " + quoteIdentifier(program.games + "_dirs"));
        program.openCatalog().execute("DELETE FROM categories WHERE \"key\" = 1");
        QVERIFY(program.start());
        QVERIFY(!program.node(program.gamesKey));
        QCOMPARE(program.node(program.backupKey)->parent(), program.node("~"));
        QVERIFY(program.node(program.musicKey + "\\Albums"));
    }
};

QTEST_MAIN(CatalogTreeTest)
#include "CatalogTreeTest.moc"
