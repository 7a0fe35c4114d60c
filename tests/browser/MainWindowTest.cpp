#include "ProgramUnderTest.h"
#include "browser/gui/CatalogTree.h"
#include "browser/gui/ContentsList.h"
#include "catalog/Catalog.h"
#include "catalog/CatalogEditing.h"
#include "catalog/CatalogFile.h"
#include "catalog/HostedCatalog.h"
#include "catalog/HostedNameIndex.h"
#include "catalog/Schema.h"
#include "platform/IniFile.h"
#include "search/gui/SearchWindow.h"
#include "support/CutTexts.h"
#include "support/ModalDialog.h"
#include "support/NamedControl.h"
#include "support/PrivatePostgres.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace kestro;
using kestro::test::ProgramUnderTest;

namespace {

const QString kOpenTitle = "Choose a database to open...";
const QString kNewTitle = "Name your new database file...";
const QString kCompactQuestion = "Compact current database now?";

QString rootText(ProgramUnderTest& program) {
    QTreeWidgetItem* root = program.node("~");
    return root ? root->text(0) : QString();
}

// A catalog named "Other", made from the template.
QString otherCatalog(ProgramUnderTest& program) {
    const QString path = program.programFile("other.mdb");
    test::makeCatalogFile(path);
    Catalog(path, OpenMode::SharedReadWrite).open().execute("UPDATE \"Name\" SET name = 'Other'");
    return path;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A start without a usable catalog says so and offers the Open dialog
    // until one is given; giving up ends the program with a message.
    void aStartWithoutAUsableCatalogOffersTheOpenDialog() {
        ProgramUnderTest missing;
        QFile::remove(missing.catalogPath());
        missing.prompter.answerText(otherCatalog(missing));
        QVERIFY(missing.start());
        QCOMPARE(missing.prompter.questions, QStringList({kOpenTitle}));
        QCOMPARE(rootText(missing), QString("Other"));
        QCOMPARE(missing.window().windowTitle(),
                 "Kestro Pro 2.0v15 - " + missing.programFile("other.mdb"));

        ProgramUnderTest damaged;
        test::writeAll(damaged.catalogPath(), "This is no catalog at all, just words.\n");
        damaged.prompter.answerText(damaged.catalogPath()); // the same again: refused again
        damaged.prompter.answerText(otherCatalog(damaged));
        QVERIFY(damaged.start());
        QCOMPARE(damaged.prompter.questions, QStringList({kOpenTitle, kOpenTitle}));
        QCOMPARE(damaged.prompter.messages.size(), 2);
        QVERIFY2(damaged.prompter.messages[0].contains(damaged.catalogPath()),
                 qPrintable(damaged.prompter.messages[0]));
        QCOMPARE(rootText(damaged), QString("Other"));

        ProgramUnderTest noneAtAll;
        QFile::remove(noneAtAll.catalogPath());
        noneAtAll.prompter.answerCancel();
        QVERIFY(!noneAtAll.start());
        QCOMPARE(noneAtAll.prompter.messages, QStringList({kNoValidFileMessage}));
        ProgramUnderTest giveUp;
        test::writeAll(giveUp.catalogPath(), QByteArray(4096, '\0'));
        giveUp.prompter.answerCancel();
        QVERIFY(!giveUp.start());
        QCOMPARE(giveUp.prompter.messages.size(), 2);
        QCOMPARE(giveUp.prompter.messages.last(), kNoValidFileMessage);
    }

    void anOpenedOrNewCatalogIsShownAtOnce() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        program.prompter.answerText(otherCatalog(program));
        QVERIFY(program.window().OpenDatabase());
        QCOMPARE(rootText(program), QString("Other"));
        QCOMPARE(program.tree().topLevelItem(0)->childCount(), 0);
        // A file that is no catalog is explained, and the user can go on.
        test::writeAll(program.programFile("junk.mdb"), "junk");
        program.prompter.answerText(program.programFile("junk.mdb"));
        QVERIFY(program.window().OpenDatabase());
        QCOMPARE(program.prompter.messages.size(), 1);
        QCOMPARE(program.tree().topLevelItemCount(), 0);
        QCOMPARE(program.window().windowTitle(),
                 "Kestro Pro 2.0v15 - " + program.programFile("junk.mdb"));
        program.prompter.answerText(program.catalogPath());
        QVERIFY(program.window().OpenDatabase());
        QCOMPARE(rootText(program), QString("Kestro Catalog"));
        program.prompter.answerCancel();
        QVERIFY(!program.window().OpenDatabase());
        QCOMPARE(rootText(program), QString("Kestro Catalog"));

        // A new catalog is the template, and becomes the current one.
        program.prompter.messages.clear();
        const QString made = program.programFile("made.mdb");
        program.prompter.answerText(made);
        program.window().NewDatabase();
        QCOMPARE(test::readAll(made), test::readAll(test::templatePath()));
        QCOMPARE(program.state.environment.lastLoadedFile, made);
        QCOMPARE(program.tree().topLevelItem(0)->childCount(), 0);
        QCOMPARE(program.prompter.questions.last(), kNewTitle);

        // A file that cannot be made is said, and the catalog stays.
        program.prompter.answerText(program.programFile("no/such/folder/x.mdb"));
        program.window().NewDatabase();
        QCOMPARE(program.prompter.messages.size(), 1);
        QCOMPARE(program.state.environment.lastLoadedFile, made);
    }

    void aHostedCatalogIsOpenedByItsUriAndNamedWithoutAPassword() {
        const QString uri = test::PrivatePostgres::instance().createDatabase();
        createHostedCatalog(uri);
        RenameCatalog(Catalog(uri, OpenMode::SharedReadWrite).open(), "Hosted");
        ProgramUnderTest program;
        QVERIFY(program.start());
        const QString withPassword = QString(uri).replace("kestro@", "kestro:secret@");
        for (const QString& refused : {withPassword, QString("/home/a/x.mdb")}) {
            program.prompter.answerText(refused);
            QVERIFY(!program.window().OpenHostedCatalog());
        }
        QCOMPARE(program.prompter.messages.size(), 2);
        QVERIFY(program.prompter.messages[0].contains("~/.pgpass"));
        QCOMPARE(program.state.environment.lastLoadedFile, program.catalogPath());

        program.prompter.answerText(" " + uri + " ");
        QVERIFY(program.window().OpenHostedCatalog());
        QVERIFY(program.prompter.questions.last().contains("connection URI"));
        QCOMPARE(rootText(program), QString("Hosted"));
        QCOMPARE(program.state.environment.lastLoadedFile, uri);
        QCOMPARE(program.window().windowTitle(), "Kestro Pro 2.0v15 - " + uri);
        // A password that came in some other way is never shown.
        program.state.environment.lastLoadedFile = withPassword;
        program.window().RefreshViews();
        QCOMPARE(program.window().windowTitle(), "Kestro Pro 2.0v15 - " + uri);
    }

    // Browsing, searching and cataloguing go on a hosted catalog as on a file.
    void theWindowsWorkOnAHostedCatalog() {
        ProgramUnderTest program(test::Engine::Server);
        QVERIFY(program.start());
        QCOMPARE(program.window().windowTitle(), "Kestro Pro 2.0v15 - " + program.catalogPath());
        program.clickNode(program.gamesKey + "\\DOOM");
        QCOMPARE(program.columnTexts(0), QStringList({" MAPS", "DOOM.EXE", "readme.TXT"}));

        program.trigger("mnuSearch");
        auto* search = qobject_cast<SearchWindow*>(test::shownWindow("fSearch"));
        QVERIFY(search && QTest::qWaitForWindowExposed(search));
        test::child<QLineEdit>(*search, "Input1").setText("*.wad");
        QTest::mouseClick(&test::child<QPushButton>(*search, "findB"), Qt::LeftButton);
        QCOMPARE(search->statusText(),
                 QString("0 folders / 2 files found -- Search Completed Successfully"));
        search->close();

        test::writeAll(program.gamesFolder() + "/DOOM/new.wad", "x");
        bool catalogued = false;
        test::whenDialogShows("fCatalog", [&](QDialog& dialog) {
            auto& drives = test::child<QComboBox>(dialog, "Drive1");
            drives.setCurrentIndex(drives.findText("w:", Qt::MatchStartsWith));
            test::child<QPushButton>(dialog, "Command1").click();
            catalogued = program.sounds.played.contains("catdone.wav");
            test::child<QPushButton>(dialog, "Command2").click();
        });
        program.trigger("mnuCatalog");
        QVERIFY(catalogued);
        QVERIFY(program.prompter.messages.isEmpty());
        program.clickNode(program.gamesKey + "\\DOOM");
        QCOMPARE(program.columnTexts(0),
                 QStringList({" MAPS", "DOOM.EXE", "new.wad", "readme.TXT"}));
        // Meanwhile the server has indexed the names the runs left unindexed.
        QTRY_VERIFY_WITH_TIMEOUT(!program.state.nameIndexing.busy(), 10000);
        const Database db = program.openCatalog();
        for (const QString& table : schema::listedVolumeTables(db))
            QVERIFY2(HostedNamesIndexed(db, table), qPrintable(table));
    }

    void compactingAsksFirst() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        program.openCatalog().execute("CREATE TABLE \"999_dirs\" (name TEXT)"); // no volume owns it
        program.prompter.answer(false);
        program.window().CompactDatabase();
        QVERIFY(program.openCatalog().hasTable("999_dirs"));
        program.prompter.answer(true);
        program.window().CompactDatabase();
        QCOMPARE(program.prompter.questions, QStringList({kCompactQuestion, kCompactQuestion}));
        QVERIFY(program.prompter.messages.isEmpty());
        QVERIFY(!program.openCatalog().hasTable("999_dirs"));
        // The views stay as they were.
        QVERIFY(program.node(program.gamesKey));
    }

    // Without widths in the settings file every column shows its header and
    // texts whole. A window key the file lacks keeps the window's value, and a
    // list wider than the window (which was maximized) leaves the tree a
    // share of it.
    void columnsFitTheirTextsAndTheWindowTakesWhatTheFileHolds() {
        ProgramUnderTest program;
        IniFile settings(program.programFile("Kestro.ini"));
        settings.setValue("Environment", "WindowWidth", QString::number(700 * 15));
        settings.setValue("Environment", "SplitterLeft", "1500");
        QVERIFY(program.start());
        QCOMPARE(program.window().width(), 700);
        QVERIFY2(program.tree().width() > 150, qPrintable(QString::number(program.tree().width())));
        QCOMPARE(test::cutTexts(program.list()), QStringList());
        program.clickNode(program.gamesKey);
        QCOMPARE(test::cutTexts(program.list()), QStringList());
    }

    void theLayoutOutlivesTheProgram() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        program.window().setGeometry(40, 50, 820, 600);
        program.clickNode(program.gamesKey);
        program.list().header()->resizeSection(1, 99); // Size
        program.clickNode("~");
        program.list().header()->resizeSection(0, 222); // Volume name
        program.window().close();
        const IniFile settings(program.programFile("Kestro.ini"));
        const auto saved = [&settings](const char* key) {
            return settings.value("Environment", key).value_or("missing");
        };
        QCOMPARE(saved("ListviewSizeCol"), QString("99"));
        QCOMPARE(saved("ListviewGFW"), QString("222"));
        QCOMPARE(saved("ListviewTypeCol"), QString("missing")); // fitted, not set
        QCOMPARE(saved("WindowWidth"), QString::number(820 * 15));
        QCOMPARE(saved("LastLoadedFile"), program.catalogPath());
        const QString listWidth = saved("SplitterLeft");

        QVERIFY(program.start()); // the next run
        QCOMPARE(program.window().geometry().size(), QSize(820, 600));
        QCOMPARE(program.list().header()->sectionSize(0), 222);
        QCOMPARE(QString::number(program.list().width()), listWidth);
        program.clickNode(program.gamesKey);
        QCOMPARE(program.list().header()->sectionSize(1), 99);
    }

    void exitingThroughTheMenuPausesClosingDoesNot() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        QCOMPARE(program.sounds.played, QStringList({"startup.wav waiting"}));
        QElapsedTimer clock;
        clock.start();
        program.trigger("mnuExit");
        QVERIFY(clock.elapsed() >= 3000);
        QVERIFY(!program.window().isVisible());
        QCOMPARE(program.sounds.played.last(), QString("shutdown.wav"));
        QVERIFY(IniFile(program.programFile("Kestro.ini")).value("Environment", "WindowTop"));

        ProgramUnderTest closing;
        QVERIFY(closing.start());
        clock.restart();
        closing.window().close();
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(closing.sounds.played, QStringList({"startup.wav waiting"}));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
