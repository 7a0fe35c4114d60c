#include "ProgramUnderTest.h"
#include "browser/gui/PictureButton.h"
#include "support/ModalDialog.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace kestro;
using kestro::test::ProgramUnderTest;

namespace {

void click(QDialog& dialog, const char* button) {
    dialog.findChild<QPushButton*>(button)->click();
}

// A session that passes every moment with a sound cue the main window has:
// the start, a picture button, the logo and the about box, Open, New,
// Compact, a file whose medium is gone, and Exit. Returns the cues asked for.
QStringList cuesOfASession(const QString& oSounds) {
    ProgramUnderTest program;
    program.setOption("oSounds", oSounds);
    if (!program.start())
        return {"no start"};
    test::whenDialogShows("frmOptions", [](QDialog& options) { click(options, "cmdCancel"); });
    QTest::mouseClick(program.window().findChild<PictureButton*>("bOptions"), Qt::LeftButton);
    test::whenDialogShows("fAbout", [](QDialog& about) { click(about, "Command1"); });
    QTest::mouseClick(program.window().findChild<QLabel*>("Image2"), Qt::LeftButton);
    program.prompter.answerCancel();
    program.trigger("mnuOpen");
    program.prompter.answerCancel();
    program.trigger("mnuNew");
    program.prompter.answer(false);
    program.trigger("mnuCompact");

    QTemporaryDir emptyDrive;
    program.drives.table().unmap('X');
    program.drives.map('X', emptyDrive.path());
    program.clickNode(program.musicKey + "\\Albums");
    test::whenDialogShows("fDrive", [](QDialog& chooser) { click(chooser, "Command2"); });
    program.doubleClickRow(program.rowOf("song.mp3"));

    program.trigger("mnuExit");
    return program.sounds.played;
}

} // namespace

class SoundsSplashAboutTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyCueAtItsMomentAndNoneWithSoundsOff() {
        QCOMPARE(cuesOfASession("1"),
                 QStringList({"startup.wav waiting", "clickdown.wav", "clickup.wav",
                              "openwindow.wav", // options
                              "clickdown.wav", "clickup.wav",
                              "openwindow.wav", // about
                              "openwindow.wav", "openwindow.wav", "openwindow.wav",
                              "openwindow.wav", // choose-drive
                              "shutdown.wav"}));
        QCOMPARE(cuesOfASession("0"), QStringList());
    }

    void soundsSwitchedOffInTheOptionsAreSilentAtOnce() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        test::whenDialogShows("frmOptions", [](QDialog& options) {
            options.findChild<QCheckBox*>("oSounds")->click();
            click(options, "cmdOK");
        });
        program.trigger("mnuOptions");
        program.prompter.answerCancel();
        program.trigger("mnuOpen");
        QCOMPARE(program.sounds.played, QStringList({"startup.wav waiting", "openwindow.wav"}));
    }

    void theAboutBoxTellsTheVersionOpensHelpAndSoundsEachTime() {
        ProgramUnderTest program;
        QVERIFY(program.start());
        test::writeAll(program.programFile("kestro2.html"), "<html></html>");
        for (int opening = 1; opening <= 2; ++opening) {
            auto* bNew = program.window().findChild<PictureButton*>("bNew");
            bNew->setLook(PictureButton::Look::Hovering); // the pointer was on it
            bool resting = false;
            test::whenDialogShows("fAbout", [&](QDialog& about) {
                resting = bNew->look() == PictureButton::Look::Resting;
                QCOMPARE(about.windowTitle(), QString("About Kestro Pro"));
                QCOMPARE(about.findChild<QLabel*>("Label5")->text(), QString("Version 2.0v15"));
                QVERIFY(!about.findChild<QLabel*>("Image1")->pixmap().isNull());
                auto* text = about.findChild<QPlainTextEdit*>("Text1");
                QVERIFY(text->isReadOnly());
                QVERIFY(text->toPlainText().contains("catalog"));
                QCOMPARE(about.findChild<QPushButton*>("Command2")->text(), QString("&Help"));
                click(about, "Command2");
                QVERIFY(about.isVisible()); // help opens beside it
                QCOMPARE(about.findChild<QPushButton*>("Command1")->text(), QString("&Ok"));
                click(about, "Command1");
            });
            program.trigger("mnuAbout");
            QVERIFY(resting);
            // Help was clicked, and the box sounded, once more each time.
            QCOMPARE(program.shell.documents.size(), opening);
            QCOMPARE(program.shell.documents.last(), program.programFile("kestro2.html"));
            QCOMPARE(program.sounds.played.count("openwindow.wav"), opening);
        }
    }

    // The splash window is looked at between the events of the start.
    void theSplashShowsTheVersionAndWhatTheStartIsDoing() {
        ProgramUnderTest program;
        QStringList messages;
        QString version, progress;
        bool centred = false, hasLogo = false;
        QTimer look;
        look.setInterval(0);
        connect(&look, &QTimer::timeout, [&] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->objectName() != "frmSplash" || !window->isVisible())
                    continue;
                const QString message = window->findChild<QLabel*>("lbl")->text();
                if (messages.isEmpty() || messages.last() != message)
                    messages << message;
                progress = window->findChild<QLabel*>("Label1")->text();
                auto* label2 = window->findChild<QLabel*>("Label2");
                auto* image1 = window->findChild<QLabel*>("Image1");
                version = label2->text();
                hasLogo = !image1->pixmap().isNull();
                centred = (label2->alignment() & Qt::AlignHCenter) &&
                          (image1->alignment() & Qt::AlignHCenter);
            }
        });
        look.start();
        QVERIFY(program.start());
        look.stop();
        QCOMPARE(version, QString("Version 2.0v15"));
        QVERIFY(hasLogo);
        QVERIFY(centred);
        QCOMPARE(messages.size(), 3);
        QCOMPARE(messages[0], QString("Loading database..."));
        QVERIFY2(messages[1] == "Loading resources..." ||
                     messages[1] == "Creating resources for the first time...",
                 qPrintable(messages[1]));
        QCOMPARE(messages[2], QString("Loading database..."));
        // The icon cache went through every file type the desktop knows.
        QVERIFY2(QRegularExpression("^File types: ([0-9,]+) of \\1$").match(progress).hasMatch(),
                 qPrintable(progress));
        for (QWidget* window : QApplication::topLevelWidgets())
            QVERIFY(window->objectName() != "frmSplash" || !window->isVisible());
    }
};

QTEST_MAIN(SoundsSplashAboutTest)
#include "SoundsSplashAboutTest.moc"
