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
        texts << list.model()->headerData(i, Qt::Horizontal).toString() + "=" +
                     QString::number(list.header()->sectionSize(i));
    return texts;
}

} // namespace

class ContentsListTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { test::StatementLog::install(); }

    void eachKindOfNodeHasItsColumns() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        program.clickNode(program.gamesKey);
        QCOMPARE(headers(program.list()), QStringList({"Filename=115", "Size=76", "Type=37",
                                                       "Modified=90", "Description=66"}));
        program.clickNode("~");
        QCOMPARE(headers(program.list()),
                 QStringList({"Volume name=150", "Capacity=75", "Free=75", "Used=75",
                              "Cataloged=75", "Description=75", "Directories=50", "Files=50"}));
        // Showing the root reads the figures kept at the load.
        QCOMPARE(program.columnTexts(0),
                 QStringList({" Old Stuff", " Empty", " GAMES DISK", " Music"}));
        QCOMPARE(program.columnTexts(5)[1], QString(" Category"));
        QVERIFY(program.columnTexts(7)[2].endsWith(" 13")); // files, right-aligned
        program.clickNode("`1");
        QCOMPARE(program.columnTexts(0), QStringList({" Backup"}));
    }

    void europeanDatesChangeTheHeadersAndTheDates() {
        ProgramUnderTest program;
        program.setOption("oDateFormat", "1");
        QVERIFY(program.start());
        program.clickNode(program.musicKey + "\\Albums");
        QCOMPARE(program.list().model()->headerData(3, Qt::Horizontal).toString(),
                 QString("Euro-Date"));
        const QDate today = QDate::currentDate();
        QVERIFY2(program.columnTexts(3)[0].startsWith(
                     QString("%1/%2/%3 ").arg(today.day()).arg(today.month()).arg(today.year())),
                 qPrintable(program.columnTexts(3)[0]));
        program.clickNode("~");
        QCOMPARE(program.list().model()->headerData(4, Qt::Horizontal).toString(),
                 QString("Cataloged (Euro-Date)"));
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
        QStringList descending = types;
        std::sort(descending.begin(), descending.end(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) > 0;
        });
        QCOMPARE(types, descending);
        // The order holds for the next folder shown.
        program.clickNode(program.gamesKey + "\\DOOM");
        QCOMPARE(program.columnTexts(2).last(), QString("(File Folder)"));
    }

    void fileRowsShowTypeNamesAndIconKeys() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        program.clickNode(program.gamesKey);
        const auto row = [&program](const QString& name) {
            const ContentsRow& r = program.list().contents().row(program.rowOf(name));
            return r.texts[2] + " | " + r.imageKey;
        };
        QCOMPARE(row("README"), QString("<unknown file> | leaf"));
        QCOMPARE(row("data.xyz"), QString("xyz file | leaf"));
        QCOMPARE(row("name."), QString(" file | leaf"));
        QCOMPARE(row(" DOOM"), QString("(File Folder) | closed"));
        QCOMPARE(row("archive.tar.GZ"), program.fileTypes.FileTypeName("x.gz") + " | kgz");
        QVERIFY(program.images.contains("kgz"));
        program.clickNode("~");
        QCOMPARE(program.list().contents().row(program.rowOf(" GAMES DISK")).imageKey,
                 QString("fixed"));
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

    void doubleClickingAFileOpensItWhereItsDriveIs() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        program.clickNode(program.gamesKey + "\\DOOM");
        program.doubleClickRow(program.rowOf("readme.TXT"));
        program.doubleClickRow(program.rowOf("DOOM.EXE"));
        QCOMPARE(program.shell.documents,
                 QStringList({program.gamesFolder() + "/DOOM/readme.TXT"}));
        QCOMPARE(program.shell.programs, QStringList({program.gamesFolder() + "/DOOM/DOOM.EXE in " +
                                                      program.gamesFolder() + "/DOOM"}));
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

        // Cancelling the drive choice ends quietly.
        program.prompter.messages.clear();
        whenDialogShows(
            "fDrive", [](QDialog& fDrive) { fDrive.findChild<QPushButton*>("Command2")->click(); });
        program.doubleClickRow(program.rowOf("Doom.exe"));
        QTRY_COMPARE(program.prompter.messages, QStringList({kMediaNotReadyMessage}));
        QVERIFY(program.shell.programs.isEmpty());
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
