#include "browser/gui/ContentsList.h"

#include "ProgramUnderTest.h"
#include "browser/gui/CatalogTree.h"
#include "platform/gui/CatalogFileOpener.h"
#include "support/ModalDialog.h"
#include "support/StatementLog.h"

#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

using namespace kestro;
using kestro::test::chooseDrive;
using kestro::test::ProgramUnderTest;
using kestro::test::whenDialogShows;

namespace {

QStringList headers(ContentsList& list) {
    QStringList texts;
    for (int i = 0; i < list.model()->columnCount(); ++i)
        texts << list.model()->headerData(i, Qt::Horizontal).toString();
    return texts;
}

} // namespace

class ContentsListTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { test::StatementLog::install(); }

    void eachKindOfNodeHasItsColumnsTypeNamesAndIcons() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        program.clickNode(program.gamesKey);
        QCOMPARE(headers(program.list()),
                 QStringList({"Filename", "Size", "Type", "Modified", "Description"}));
        // Type names and icon keys, the odd names among them.
        const std::pair<QString, QString> rows[] = {
            {"README", "<unknown file> | leaf"},
            {"data.xyz", "xyz file | leaf"},
            {"name.", " file | leaf"},
            {" DOOM", "(File Folder) | closed"},
            {"archive.tar.GZ", program.fileTypes.FileTypeName("x.gz") + " | kgz"}};
        for (const auto& [name, expected] : rows) {
            const ContentsRow& row = program.list().contents().row(program.rowOf(name));
            QCOMPARE(row.texts[2] + " | " + row.imageKey, expected);
        }
        QVERIFY(program.images.contains("kgz"));
        program.clickNode("~");
        QCOMPARE(headers(program.list()),
                 QStringList({"Volume name", "Capacity", "Free", "Used", "Cataloged", "Description",
                              "Directories", "Files"}));
        // Showing the root reads the figures kept at the load.
        QCOMPARE(program.columnTexts(0),
                 QStringList({" Old Stuff", " Empty", " GAMES DISK", " Music"}));
        QCOMPARE(program.columnTexts(5)[1], QString(" Category"));
        QVERIFY(program.columnTexts(7)[2].endsWith(" 13")); // files, right-aligned
        QCOMPARE(program.list().contents().row(2).imageKey, QString("fixed"));
        program.clickNode("`1");
        QCOMPARE(program.columnTexts(0), QStringList({" Backup"}));
    }

    // A refresh lists the categories as stored; showing the root capitalises
    // them as it does the volumes.
    void categoryRowsOfARefreshShowTheNameAsStored() {
        ProgramUnderTest program;
        program.setOption("oSmartCaps", "1");
        program.openCatalog().execute("UPDATE categories SET category = 'EMPTY' WHERE \"key\" = 2");
        QVERIFY(program.start());
        QCOMPARE(program.columnTexts(0)[1], QString(" EMPTY"));
        program.clickNode(program.musicKey);
        program.clickNode("~");
        QCOMPARE(program.columnTexts(0)[1], QString(" Empty"));
    }

    void foldersComeFirstAndEveryHeaderClickTurnsTheOrder() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        program.clickNode(program.gamesKey);
        QCOMPARE(program.columnTexts(0),
                 QStringList({" DOOM", " GAMES", " OLD", "archive.tar.GZ", "big.bin", "data.xyz",
                              "name.", "README", "small.txt"}));
        program.clickHeader(1); // Size, descending
        QCOMPARE(program.columnTexts(0).first(), QString("big.bin"));
        QCOMPARE(program.columnTexts(0)[1], QString(" DOOM"));
        program.clickHeader(1); // Size again, ascending
        QCOMPARE(program.columnTexts(0).last(), QString("big.bin"));
        program.clickHeader(2); // Type, descending this time
        const QStringList types = program.columnTexts(2);
        const auto caseless = [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        };
        QVERIFY2(std::is_sorted(types.rbegin(), types.rend(), caseless),
                 qPrintable(types.join('|')));
        // The order holds for the next folder shown.
        program.clickNode(program.gamesKey + "\\DOOM");
        QCOMPARE(program.columnTexts(2).last(), QString("(File Folder)"));
    }

    void doubleClickingARowOpensItsNode() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        program.clickNode(program.gamesKey);
        program.doubleClickRow(program.rowOf(" DOOM"));
        QCOMPARE(program.tree().selectedKey(), program.gamesKey + "\\DOOM");
        QCOMPARE(program.columnTexts(0), QStringList({" MAPS", "DOOM.EXE", "readme.TXT"}));
        // Opening from the list swaps no picture.
        QCOMPARE(CatalogTree::imageOf(program.node(program.gamesKey + "\\DOOM")),
                 QString("closed"));
        program.clickNode("~");
        program.doubleClickRow(program.rowOf(" Old Stuff"));
        QCOMPARE(program.tree().selectedKey(), QString("`1"));
        QCOMPARE(program.columnTexts(0), QStringList({" Backup"}));
    }

    void aFileWhoseMediumMovedIsFoundThroughAnotherDrive() {
        ProgramUnderTest program;
        program.setOption("oSmartCaps", "1"); // shown capitalised, opened by its own name
        QVERIFY(program.start());
        QTemporaryDir emptyDrive;
        program.drives.table().unmap('W'); // the medium is not in W: any more
        program.drives.map('W', emptyDrive.path());
        program.drives.map('V', program.gamesFolder());
        program.prompter.answer(false); // never asked: fails the test when it is
        program.clickNode(program.gamesKey + "\\DOOM");
        // Its marker tells where the volume is now.
        program.doubleClickRow(program.rowOf("Readme.txt"));
        QTRY_COMPARE(program.shell.documents,
                     QStringList({program.gamesFolder() + "/DOOM/readme.TXT"}));
        QVERIFY(program.prompter.messages.isEmpty());

        // Without one the user is asked.
        QVERIFY(QFile::remove(program.gamesFolder() + "/Kestro.cat"));
        program.shell.documents.clear();
        QString offered;
        whenDialogShows("fDrive", [&offered](QDialog& fDrive) {
            offered = fDrive.findChild<QComboBox*>("Drive1")->currentText();
            chooseDrive(fDrive, 'v');
        });
        program.doubleClickRow(program.rowOf("Readme.txt"));
        QTRY_COMPARE(program.shell.documents,
                     QStringList({program.gamesFolder() + "/DOOM/readme.TXT"}));
        QCOMPARE(program.prompter.messages, QStringList({kMediaNotReadyMessage}));
        QVERIFY2(offered.startsWith("w: "), qPrintable(offered));
    }

    void fileAndVolumeRowsHaveAMenuCategoryRowsNone() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        program.clickNode("~");
        program.list().clearSelection();
        QTest::mouseClick(program.list().viewport(), Qt::RightButton, {},
                          QPoint(10, program.list().viewport()->height() - 5));
        QCOMPARE(program.takeShownMenu(), nullptr); // no row, no menu
        program.clickRow(program.rowOf(" Old Stuff"), Qt::RightButton);
        QCOMPARE(program.takeShownMenu(), nullptr);
        program.clickRow(program.rowOf(" Music"), Qt::RightButton);
        QCOMPARE(program.takeShownMenu()->objectName(), QString("files"));
        program.clickNode(program.musicKey + "\\Albums");
        program.clickRow(0, Qt::RightButton);
        QMenu* files = program.takeShownMenu();
        QCOMPARE(files->title(), QString("&Files"));
        QStringList entries;
        for (QAction* entry : files->actions())
            entries << entry->text();
        QCOMPARE(entries, QStringList({"&Categorize", "&Delete", "&Describe"}));
    }

    void showingAFolderReadsVolumeTablesOnlyThroughTheirIndex() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        test::StatementLog::take();
        program.clickNode(program.gamesKey);
        program.clickNode(program.gamesKey + "\\DOOM");
        program.clickNode(program.gamesKey + "\\DOOM\\MAPS");
        const QStringList statements = test::StatementLog::take();
        QStringList volumeReads;
        for (const QString& sql : statements) {
            if (!sql.contains(program.games + "_"))
                continue;
            volumeReads << sql;
            for (const QString& step : test::StatementLog::queryPlan(program.catalogPath(), sql))
                QVERIFY2(!step.startsWith("SCAN"), qPrintable(sql + "\n  " + step));
        }
        QVERIFY(volumeReads.size() >= 6); // sub-folders, folder rows and files, three times
    }
};

QTEST_MAIN(ContentsListTest)
#include "ContentsListTest.moc"
