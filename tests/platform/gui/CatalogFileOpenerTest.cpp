#include "platform/gui/CatalogFileOpener.h"

#include "platform/VolumeLocator.h"
#include "support/RecordingShell.h"
#include "support/ScriptedPrompter.h"
#include "support/TestDrives.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace kestro;

namespace {

// Two folders standing for two drives, D: and E:, and an opener whose drive
// chooser answers from a list and records what it was offered.
struct CatalogFileOpenerTest : ::testing::Test {
    QTemporaryDir stick, otherStick;
    test::TestDrives drives;
    VolumeLocator volumes{drives.system()};
    test::RecordingShell shell;
    test::ScriptedPrompter prompter;
    QStringList chosenDrives;
    QStringList offered;
    CatalogFileOpener opener{drives.table(), volumes, shell, prompter,
                             [this](const QString& current, const QString& volumeName) {
                                 offered << current + " for " + volumeName;
                                 return chosenDrives.isEmpty() ? QString()
                                                               : chosenDrives.takeFirst();
                             }};

    void SetUp() override {
        drives.map('D', stick.path());
        drives.map('E', otherStick.path());
    }
    static QString put(const QTemporaryDir& drive, const QString& file) {
        const QString path = drive.filePath(file);
        QDir().mkpath(QFileInfo(path).path());
        test::writeAll(path, "x");
        return path;
    }
};

} // namespace

TEST_F(CatalogFileOpenerTest, ADocumentOpensWhereItsDriveIsToday) {
    const QString inFolder = put(stick, "DOCS/Tom's 100% \"plan\".txt");
    const QString atTop = put(stick, "readme");
    opener.open("71330842_D:\\DOCS", "Tom's 100% \"plan\".txt", "Stick");
    opener.open("71330842_D:", "readme", "Stick");
    EXPECT_EQ(shell.documents, QStringList({inFolder, atTop}));
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(offered.isEmpty());
}

TEST_F(CatalogFileOpenerTest, AMissingFileAsksForAnotherDriveUntilFound) {
    const QString moved = put(otherStick, "DOCS/a.txt");
    chosenDrives = {"c: [/]", "e: [STICK]"};
    opener.open("71330842_D:\\DOCS", "a.txt", "Holidays");
    EXPECT_EQ(prompter.messages, QStringList({kMediaNotReadyMessage, kMediaNotReadyMessage}));
    EXPECT_EQ(offered, QStringList({"D: for Holidays", "C: for Holidays"}));
    EXPECT_EQ(shell.documents, QStringList({moved}));
}

TEST_F(CatalogFileOpenerTest, AVolumeIsOpenedWhereverItsMarkerIsAndNeverFromAnother) {
    test::writeAll(stick.filePath("Kestro.cat"), "71330842\r\n");
    test::writeAll(otherStick.filePath("Kestro.cat"), "12345\r\n");
    const QString mine = put(stick, "DOCS/a.txt");
    put(otherStick, "DOCS/a.txt");
    // Catalogued in E:, the volume is in D: now, and E: holds another volume.
    opener.open("71330842_E:\\DOCS", "a.txt", "Holidays");
    EXPECT_EQ(shell.documents, QStringList({mine}));
    EXPECT_TRUE(prompter.messages.isEmpty());
    // A volume that is nowhere is asked for.
    opener.open("555_E:\\DOCS", "a.txt", "Lost");
    EXPECT_EQ(prompter.messages, QStringList({kMediaNotReadyMessage}));
    EXPECT_EQ(offered, QStringList({"E: for Lost"}));
    EXPECT_EQ(shell.documents, QStringList({mine}));
}

TEST_F(CatalogFileOpenerTest, CancellingTheDriveChoiceEndsQuietly) {
    opener.open("71330842_Q:\\DOCS", "a.txt", "Holidays"); // Q: stands for nothing
    EXPECT_EQ(prompter.messages, QStringList({kMediaNotReadyMessage}));
    EXPECT_EQ(offered, QStringList({"Q: for Holidays"}));
    EXPECT_TRUE(shell.documents.isEmpty());
}

TEST_F(CatalogFileOpenerTest, ProgramsStartInTheirFolderFoldersOpenInTheFileManager) {
    const QString program = put(stick, "GAMES/DOOM.EXE");
    put(stick, "GAMES.EXE/x"); // a folder, whatever its name says
    opener.open("71330842_D:\\GAMES", "DOOM.EXE", "Games");
    opener.open("71330842_D:", "GAMES.EXE", "Games");
    EXPECT_EQ(shell.programs, QStringList({program + " in " + stick.filePath("GAMES")}));
    EXPECT_EQ(shell.documents, QStringList({stick.filePath("GAMES.EXE")}));
    EXPECT_TRUE(prompter.messages.isEmpty());

    // Nothing to open or run it with is said.
    put(stick, "a.xyz");
    shell.outcome = Shell::Outcome::NoApplication;
    opener.open("71330842_D:", "a.xyz", "Stick");
    opener.open("71330842_D:\\GAMES", "DOOM.EXE", "Games");
    EXPECT_EQ(prompter.messages, QStringList({kNoApplicationMessage, kNoApplicationMessage}));
}

TEST_F(CatalogFileOpenerTest, ALocationWithoutTablenameIsNotFound) {
    opener.open("D:\\DOCS", "a.txt", "");
    EXPECT_EQ(prompter.messages, QStringList({kFileNotFoundMessage}));
    EXPECT_TRUE(offered.isEmpty());
}
