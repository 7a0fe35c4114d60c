#include "cataloguing/gui/CatalogDialog.h"

#include "browser/ProgramUnderTest.h"
#include "browser/gui/CatalogTree.h"
#include "cataloguing/gui/DiscPictures.h"
#include "support/FilePermissionsApply.h"
#include "support/ModalDialog.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

using namespace kestro;
using kestro::test::ProgramUnderTest;
using Result = CatalogRunOutcome::Result;

namespace {

const QString kNamePrompt = "Enter a descriptive name for this volume...";
const QString kFolderTitle = "Choose a folder to catalog";

template <typename T> T* control(QWidget* dialog, const char* name) {
    return dialog->findChild<T*>(name);
}

QPushButton* button(QWidget* dialog, const char* name) {
    return control<QPushButton>(dialog, name);
}

QStringList driveItems(QWidget* dialog) {
    QStringList items;
    auto* drives = control<QComboBox>(dialog, "Drive1");
    for (int i = 0; i < drives->count(); ++i)
        items << drives->itemText(i);
    return items;
}

void selectDrive(QWidget* dialog, QChar letter) {
    auto* drives = control<QComboBox>(dialog, "Drive1");
    for (int i = 0; i < drives->count(); ++i)
        if (drives->itemText(i).startsWith(letter))
            drives->setCurrentIndex(i);
}

// Opens the catalog dialog with the Catalog a Volume command, lets `act` work
// in it, and closes it with "C&lose" as the user does.
void inCatalogDialog(ProgramUnderTest& program, std::function<void(CatalogDialog&)> act) {
    bool acted = false;
    test::whenDialogShows("fCatalog", [&](QDialog& dialog) {
        act(static_cast<CatalogDialog&>(dialog));
        acted = true;
        button(&dialog, "Command2")->click();
    });
    program.trigger("mnuCatalog");
    QVERIFY(acted);
}

void put(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    test::writeAll(path, "x");
}

} // namespace

class CatalogDialogTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aMappedFolderIsCataloguedAndShownAfresh() {
        ProgramUnderTest program;
        const QString photos = program.media.filePath("photos");
        put(photos + "/2023/a.jpg");
        put(photos + "/b.jpg");
        QVERIFY(program.start());
        program.prompter.answerText(photos);
        program.prompter.answerText("Photos \"summer\"");
        QString tablename;
        inCatalogDialog(program, [&](CatalogDialog& dialog) {
            button(&dialog, "MapFolder")->click();
            QCOMPARE(control<QComboBox>(&dialog, "Drive1")->currentText().left(13),
                     QString("d: [photos]"));
            button(&dialog, "Command1")->click();
            QVERIFY(dialog.lastOutcome());
            QCOMPARE(dialog.lastOutcome()->result, Result::Catalogued);
            tablename = dialog.lastOutcome()->tablename;
            QCOMPARE(control<QLabel>(&dialog, "Label1")->text(), QString("<idle>"));
            QCOMPARE(button(&dialog, "Command2")->text(), QString("C&lose"));
            QCOMPARE(control<QLabel>(&dialog, "WalkCounts")->text(),
                     QString("1 folder, 3 files seen")); // the marker is a file too
        });
        QCOMPARE(program.prompter.questions, QStringList({kFolderTitle, kNamePrompt}));
        QVERIFY(program.node(tablename + "_D:\\2023")); // the views were shown afresh
    }

    // The run ends with the completion cue only when it catalogued the
    // volume, and says what it left out.
    void theEndOfARunSaysWhatWasLeftOut() {
        ProgramUnderTest program;
        const QString disk = program.media.filePath("gaps");
        put(disk + "/private/secret.txt");
        put(disk + "/open.txt");
        QVERIFY(QFile::setPermissions(disk + "/private", {}));
        program.drives.map('V', disk);
        QVERIFY(program.start());
        const test::FilePermissionsApply likeAnyUser;
        program.prompter.answerCancel();
        program.prompter.answerText("Gaps");
        QString status;
        inCatalogDialog(program, [&](CatalogDialog& dialog) {
            selectDrive(&dialog, 'v');
            button(&dialog, "Command1")->click();
            QCOMPARE(dialog.lastOutcome()->result, Result::NotDone);
            QVERIFY(!program.sounds.played.contains("catdone.wav"));
            button(&dialog, "Command1")->click();
            QCOMPARE(dialog.lastOutcome()->result, Result::Catalogued);
            status = control<QLabel>(&dialog, "Label1")->text();
        });
        QFile::setPermissions(disk + "/private",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(program.sounds.played.contains("catdone.wav"));
        QCOMPARE(status, QString("Items left out of the catalog: 1"));
        QCOMPARE(program.prompter.messages,
                 QStringList({"No volume description entered.  Won't catalog volume.",
                              "1 items could not be read and are missing from the catalog:\n"
                              "  V:\\private: Permission denied"}));
    }

    // The second button aborts while the run imports; the run itself proves
    // that the catalog stays as it was.
    void aRecatalogShowsItsChangesInAListThatSortsAndExports() {
        ProgramUnderTest program;
        const QString photos = program.media.filePath("photos");
        put(photos + "/2023/a.jpg");
        test::writeAll(photos + "/2023/a.jpg", QByteArray(10'000, 'x'));
        put(photos + "/b.jpg");
        QVERIFY(program.start());
        program.prompter.answerText(photos);
        program.prompter.answerText("Photos");
        inCatalogDialog(program, [&](CatalogDialog& dialog) {
            button(&dialog, "MapFolder")->click();
            button(&dialog, "Command1")->click();
            QCOMPARE(control<QLabel>(&dialog, "Label1")->text(), QString("<idle>"));
            QVERIFY2(!button(&dialog, "Changes")->isEnabled(), "nothing to compare with");
        });

        test::writeAll(photos + "/2023/a.jpg", QByteArray(60'000, 'x'));
        QFile::remove(photos + "/b.jpg");
        put(photos + "/c.jpg");
        QDir(photos).mkdir("2024");
        const QString csv = program.media.filePath("changes.csv");
        program.prompter.answerText(csv);
        QStringList shown, sortedByOldSize;
        inCatalogDialog(program, [&](CatalogDialog& dialog) {
            selectDrive(&dialog, 'd');
            button(&dialog, "Command1")->click();
            QCOMPARE(control<QLabel>(&dialog, "Label1")->text(),
                     QString("2 added, 1 removed, 1 changed"));
            QVERIFY(button(&dialog, "Changes")->isEnabled());
            test::whenDialogShows("fChanges", [&](QDialog& changes) {
                auto* list = changes.findChild<QTreeView*>("ChangeList");
                const auto rows = [list] {
                    QStringList lines;
                    const QAbstractItemModel* model = list->model();
                    for (int row = 0; row < model->rowCount(); ++row)
                        lines << model->index(row, 0).data().toString() + " " +
                                     model->index(row, 2).data().toString() + " " +
                                     model->index(row, 3).data().toString();
                    return lines;
                };
                shown = rows();
                list->header()->setSortIndicator(3, Qt::AscendingOrder); // a header click
                sortedByOldSize = rows();
                changes.findChild<QPushButton*>("Export")->click();
            });
            button(&dialog, "Changes")->click();
        });
        QCOMPARE(shown, QStringList({"+ 2024\\ ", "- b.jpg 1KB", "+ c.jpg ", "~ a.jpg 10KB"}));
        // Sizes sort by their kilobytes, the empty ones first.
        QCOMPARE(sortedByOldSize.mid(2), QStringList({"- b.jpg 1KB", "~ a.jpg 10KB"}));
        const QStringList lines = QString::fromUtf8(test::readAll(csv)).split("\r\n");
        QCOMPARE(lines.size(), 6); // the titles, four items, and the end of the last line
        QCOMPARE(lines[0], QString("\"Change\",\"Location\",\"Name\",\"Old size\",\"New "
                                   "size\",\"Old date\",\"New date\""));
        QVERIFY(lines[4].startsWith("\"~\",\"\\2023\",\"a.jpg\",\"10KB\",\"59KB\",\""));
    }

    void abortDuringTheImportStopsTheRun() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        const QImage atRest = DiscPicture(kDiscAtRest).toImage();
        bool animated = false;
        inCatalogDialog(program, [&](CatalogDialog& dialog) {
            auto* status = control<QLabel>(&dialog, "Label1");
            auto* picture = control<QLabel>(&dialog, "Pic1");
            QCOMPARE(picture->pixmap().toImage(), atRest);
            QVERIFY(control<QTimer>(&dialog, "Timer1")->isActive());
            connect(control<QProgressBar>(&dialog, "ProgressBar1"), &QProgressBar::valueChanged,
                    &dialog, [&](int value) {
                        if (value == 0 || status->text() != "Importing Files...")
                            return;
                        dialog.Timer1_Timer(); // a tick of the animation
                        animated = picture->pixmap().toImage() != atRest;
                        QCOMPARE(button(&dialog, "Command2")->text(), QString("&Abort"));
                        button(&dialog, "Command2")->click();
                    });
            control<QComboBox>(&dialog, "Drive1")->setCurrentIndex(-1);
            dialog.Command1_Click();
            QVERIFY2(!dialog.lastOutcome(), "no drive chosen, nothing catalogued");
            selectDrive(&dialog, 'w');
            button(&dialog, "Command1")->click();
            QCOMPARE(dialog.lastOutcome()->result, Result::Aborted);
            QCOMPARE(picture->pixmap().toImage(), atRest);
        });
        QVERIFY(animated);
        QCOMPARE(program.prompter.messages, QStringList({"Aborted by user..."}));
    }

    void theDriveListNamesEachKindAndPreselectsTheStartupDrive() {
        const std::pair<int, QString> kinds[] = {{DriveType::Unknown, ""},
                                                 {DriveType::NoRootFolder, ""},
                                                 {DriveType::Removable, " - Removable"},
                                                 {DriveType::Fixed, " - Hard Disk"},
                                                 {DriveType::Network, " - Network Share"},
                                                 {DriveType::CdRom, " - CD-ROM"},
                                                 {DriveType::RamDisk, " - RAM Disk"}};
        for (const auto& [type, suffix] : kinds) {
            QCOMPARE(CatalogDialog::kindSuffix('E', type), suffix);
            QCOMPARE(CatalogDialog::kindSuffix('a', type), QString(" - Floppy Disk"));
            QCOMPARE(CatalogDialog::kindSuffix('B', type), QString(" - Floppy Disk"));
        }

        ProgramUnderTest program;
        program.setOption("oStartupDrive", "x:\\");
        program.setOption("oClearDesc", "1");
        program.setOption("oEjectMedia", "0");
        QVERIFY(program.start());
        QStringList expected;
        for (const Drive& drive : program.drives.table().letters())
            expected << drive.display().toLower() +
                            CatalogDialog::kindSuffix(drive.letter,
                                                      program.drives.table().describe(drive).type);
        QCOMPARE(expected.size(), 4); // c: and the three test volumes
        QVERIFY(expected[1].startsWith("w: [games] - "));
        inCatalogDialog(program, [&](CatalogDialog& dialog) {
            QTRY_COMPARE(driveItems(&dialog), expected);
            QCOMPARE(control<QComboBox>(&dialog, "Drive1")->currentIndex(), 2);
            QVERIFY(control<QCheckBox>(&dialog, "Check1")->isChecked());
            QVERIFY(!control<QCheckBox>(&dialog, "Check2")->isChecked());
            QVERIFY(button(&dialog, "UnmapFolder")->isEnabled()); // x: is a mapped folder
            selectDrive(&dialog, 'c');
            QVERIFY(!button(&dialog, "UnmapFolder")->isEnabled());
            control<QCheckBox>(&dialog, "Check1")->setChecked(false);
        });
        QCOMPARE(program.state.settingsFile().loadOptions().oClearDesc, 1); // not written back

        // A folder mapped from the dialog comes and goes; without a match the
        // first drive is preselected.
        Options options = program.state.options();
        options.oStartupDrive = "Q:";
        program.state.setOptions(options);
        const QString photos = program.media.filePath("photos");
        QDir().mkpath(photos);
        program.prompter.answerText(photos);
        program.prompter.answerText(photos + "/"); // the same folder again
        program.prompter.answerCancel();
        program.prompter.answer(true);
        inCatalogDialog(program, [&](CatalogDialog& dialog) {
            auto* drives = control<QComboBox>(&dialog, "Drive1");
            QCOMPARE(drives->currentIndex(), 0);
            for (int i = 0; i < 3; ++i) {
                button(&dialog, "MapFolder")->click();
                QVERIFY(drives->currentText().startsWith("d: [photos]"));
            }
            QCOMPARE(drives->count(), 5);
            QVERIFY(button(&dialog, "UnmapFolder")->isEnabled());
            button(&dialog, "UnmapFolder")->click();
            QCOMPARE(drives->count(), 4);
            QVERIFY(!driveItems(&dialog).join('|').contains("photos"));
        });
        QCOMPARE(program.prompter.questions,
                 QStringList({kFolderTitle, kFolderTitle, kFolderTitle,
                              "Forget that d: stands for the folder " + photos + "?"}));
    }

    void aDriveThatKeepsItsAnswerWaitingDoesNotHoldUpTheWindow() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        program.waitForOnlineVolumes(); // the window asks the drives too
        program.drives.system().hold(program.gamesFolder());
        inCatalogDialog(program, [&](CatalogDialog& dialog) {
            // Listed at once, and named once it answers.
            QCOMPARE(driveItems(&dialog)[1], QString("w: [games]"));
            QTRY_VERIFY(driveItems(&dialog)[3].startsWith("y: [backup] - "));
            QCOMPARE(program.drives.system().waiting(), 1);
            QCOMPARE(driveItems(&dialog)[1], QString("w: [games]"));

            // Cataloguing it waits for the answer with the window running.
            selectDrive(&dialog, 'w');
            QStringList seen;
            QTimer::singleShot(300, &dialog, [&] {
                seen << control<QLabel>(&dialog, "Label1")->text();
                program.drives.system().letGo();
            });
            button(&dialog, "Command1")->click();
            QCOMPARE(seen, QStringList({"Waiting for drive ready..."}));
            QCOMPARE(dialog.lastOutcome()->result, Result::Catalogued);
            QVERIFY(driveItems(&dialog)[1].startsWith("w: [games] - "));
        });
        QCOMPARE(program.prompter.messages, QStringList());

        // A dialog closed while a drive still keeps its answer drops the answer.
        program.waitForOnlineVolumes();
        program.drives.system().hold(program.gamesFolder());
        inCatalogDialog(
            program, [&](CatalogDialog&) { QTRY_COMPARE(program.drives.system().waiting(), 1); });
        program.drives.system().letGo();
        QTRY_COMPARE(program.drives.system().waiting(), 0);
        QTest::qWait(50); // an answer posted to the dialog would arrive now
    }
};

QTEST_MAIN(CatalogDialogTest)
#include "CatalogDialogTest.moc"
