#include "settings/gui/OptionsDialog.h"

#include "ProgramUnderTest.h"
#include "browser/gui/CatalogTree.h"
#include "browser/gui/ContentsList.h"
#include "catalog/Catalog.h"
#include "platform/IniFile.h"
#include "support/ModalDialog.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

using namespace kestro;
using kestro::test::ProgramUnderTest;

namespace {

// The option boxes, in the order the settings file keeps them.
const QStringList kFlagBoxes = {"oStartupMode", "oSmartCaps",      "oClearDesc",     "oSearchFiles",
                                "oSearchDirs",  "oEjectMedia",     "oNetworkShared", "oDateFormat",
                                "oSounds",      "oSearchAsYouType"};

QCheckBox& box(QDialog& dialog, const QString& name) {
    return *dialog.findChild<QCheckBox*>(name);
}

QString driveLabel(QDialog& dialog) {
    return dialog.findChild<QLabel*>("oStartupDrive")->text();
}

QComboBox& driveList(QDialog& dialog) {
    return *dialog.findChild<QComboBox*>("oStartupDrive2");
}

// Picks the drive list entry of `letter` as the user does.
void pickDrive(QDialog& dialog, QChar letter) {
    QComboBox& drives = driveList(dialog);
    for (int i = 0; i < drives.count(); ++i)
        if (drives.itemText(i).startsWith(letter.toLower()))
            drives.setCurrentIndex(i);
}

void click(QDialog& dialog, const char* button) {
    QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
}

// Opens the options dialog from the Tools menu and runs `act` on it.
void inOptions(ProgramUnderTest& program, std::function<void(QDialog&)> act) {
    test::whenDialogShows("frmOptions", std::move(act));
    program.trigger("mnuOptions");
}

QString option(ProgramUnderTest& program, const QString& key) {
    return IniFile(program.programFile("Kestro.ini")).value("Options", key).value_or("missing");
}

QString header(ProgramUnderTest& program, int column) {
    return program.list().model()->headerData(column, Qt::Horizontal).toString();
}

} // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void okStoresEveryBoxAndTheDriveAndCancelNothing() {
        ProgramUnderTest program;
        for (const QString& name : kFlagBoxes)
            program.setOption(name, "0");
        program.setOption("oSounds", "1");
        program.setOption("oStartupDrive", "x:");
        QVERIFY(program.start());

        QString captions;
        inOptions(program, [&](QDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QString("Options"));
            for (const QString& name : kFlagBoxes) {
                captions += box(dialog, name).text() + "|";
                QCOMPARE(box(dialog, name).isChecked(), name == "oSounds");
                box(dialog, name).click();
            }
            QCOMPARE(driveLabel(dialog), QString("Your Current Default  is - X:"));
            QCOMPARE(driveList(dialog).currentText(), QString("x: [music]"));
            pickDrive(dialog, 'W');
            QCOMPARE(driveLabel(dialog), QString("Your Current Default  is - W:"));
            click(dialog, "cmdOK");
        });
        QCOMPARE(captions, QString("Startup with Search Dialog|SmartCaps©|Always Clear "
                                   "Descriptions?|Default to Search Files?|Default to Search "
                                   "Folders?|Eject Media After Cataloging?|Network Shared "
                                   "Mode|European Dates (d/m/y)?|Sounds Effects Enabled|Search "
                                   "as You Type?|"));
        for (const QString& name : kFlagBoxes)
            QCOMPARE(option(program, name), name == "oSounds" ? "0" : "1");
        QCOMPARE(option(program, "oStartupDrive"), QString("W:"));
        QCOMPARE(program.state.options(), program.state.settingsFile().loadOptions());

        // The next opening shows what was stored, with the tab and frames;
        // Cancel leaves the file and the views as they were.
        program.clickNode(program.gamesKey + "\\DOOM");
        const QByteArray file = test::readAll(program.programFile("Kestro.ini"));
        const QStringList rows = program.columnTexts(0);
        inOptions(program, [&](QDialog& dialog) {
            QCOMPARE(dialog.findChild<QTabWidget*>("tbsOptions")->tabText(0), QString("Startup"));
            QCOMPARE(dialog.findChild<QGroupBox*>("fraSample1")->title(), QString("Behaviors"));
            QVERIFY(box(dialog, "oSmartCaps").isChecked());
            QVERIFY(!box(dialog, "oSounds").isChecked());
            QCOMPARE(driveLabel(dialog), QString("Your Current Default  is - W:"));
            for (const QString& name : kFlagBoxes)
                box(dialog, name).click();
            pickDrive(dialog, 'X');
            click(dialog, "cmdCancel");
        });
        QCOMPARE(test::readAll(program.programFile("Kestro.ini")), file);
        QCOMPARE(program.state.options(), program.state.settingsFile().loadOptions());
        QCOMPARE(program.tree().currentItem(), program.node(program.gamesKey + "\\DOOM"));
        QCOMPARE(program.columnTexts(0), rows);
        QCOMPARE(header(program, 3), QString("Euro-Date"));
        QVERIFY(program.prompter.messages.isEmpty());
    }

    void aDefaultDriveThatIsNotThereIsKept() {
        ProgramUnderTest program;
        program.setOption("oStartupDrive", "q:");
        QVERIFY(program.start());
        inOptions(program, [&](QDialog& dialog) {
            QCOMPARE(driveLabel(dialog), QString("Your Current Default  is - Q:"));
            QCOMPARE(driveList(dialog).currentIndex(), -1);
            click(dialog, "cmdOK");
        });
        QCOMPARE(option(program, "oStartupDrive"), QString("Q:"));
    }

    void okAppliesSmartCapsDatesAndReadOnlyModeAtOnce() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        QCOMPARE(program.node(program.gamesKey)->text(0), QString("GAMES DISK"));
        QCOMPARE(header(program, 4), QString("Cataloged"));
        program.clickNode(program.gamesKey + "\\DOOM");

        inOptions(program, [&](QDialog& dialog) {
            box(dialog, "oSmartCaps").click();
            box(dialog, "oDateFormat").click();
            box(dialog, "oNetworkShared").click();
            click(dialog, "cmdOK");
        });
        // The views were rebuilt: the root is shown again.
        QCOMPARE(program.tree().currentItem(), program.node("~"));
        QCOMPARE(program.node(program.gamesKey)->text(0), QString("Games Disk"));
        QVERIFY(program.columnTexts(0).contains(" Games Disk"));
        QCOMPARE(header(program, 4), QString("Cataloged (Euro-Date)"));
        const QDate today = QDate::currentDate();
        const QString dayFirst = QString("%1/%2/").arg(today.day()).arg(today.month());
        QVERIFY2(program.columnTexts(4)[program.rowOf(" Games Disk")].startsWith(dayFirst),
                 qPrintable(program.columnTexts(4).join('|')));
        program.clickNode(program.gamesKey + "\\DOOM");
        QCOMPARE(program.columnTexts(0), QStringList({" Maps", "Doom.exe", "Readme.txt"}));
        QCOMPARE(header(program, 3), QString("Euro-Date"));
        QVERIFY(program.columnTexts(3)[1].startsWith(dayFirst + QString::number(today.year())));

        // Read-only from now on: the commands that write are refused.
        const QByteArray before = test::readAll(program.catalogPath());
        program.trigger("mnuNew");
        program.trigger("mnuCompact");
        QCOMPARE(program.prompter.messages, QStringList({kReadOnlyMessage, kReadOnlyMessage}));
        QCOMPARE(test::readAll(program.catalogPath()), before);
    }

    void optionsThatCannotBeSavedAreSaidAndHoldForTheRun() {
        ProgramUnderTest program;
        // No file can be written where a folder stands.
        QFile::remove(program.programFile("Kestro.ini"));
        QVERIFY(QDir().mkdir(program.programFile("Kestro.ini")));
        QVERIFY(program.start());
        inOptions(program, [&](QDialog& dialog) {
            box(dialog, "oSmartCaps").click();
            click(dialog, "cmdOK");
        });
        QCOMPARE(
            program.prompter.messages,
            QStringList({"The options could not be saved in " + program.programFile("Kestro.ini") +
                         ".  They apply until Kestro Pro ends or the options are opened "
                         "again."}));
        QCOMPARE(program.node(program.gamesKey)->text(0), QString("Games Disk"));
        // Opened again, the dialog shows what the file holds, and the program
        // uses it too: OK then changes nothing behind the user's back.
        inOptions(program, [&](QDialog& dialog) {
            QVERIFY(!box(dialog, "oSmartCaps").isChecked());
            QCOMPARE(program.state.options().oSmartCaps, 0);
            click(dialog, "cmdCancel");
        });
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"
