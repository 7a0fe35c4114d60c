#include "platform/DriveTable.h"

#include "SystemTables.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestro;
using kestro::test::readAll;

namespace {

const QByteArray kRoot = "26 1 254:0 / / rw - ext4 /dev/vda rw\n";
const QByteArray kStick = "80 26 8:17 / /media/alice/STICK rw - vfat /dev/sdb1 rw\n";
const QByteArray kDisc = "81 26 11:0 / /mnt/cdrom ro - iso9660 /dev/sr0 ro\n";
const QByteArray kShare = "82 26 0:60 / /mnt/share rw - cifs //server/share rw\n";

// A drive table over a crafted mount table and a real settings file.
struct DriveTableTest : ::testing::Test {
    QTemporaryDir settingsDir;
    test::SystemTables tables;
    LinuxDriveSystem system{tables.places()};

    QDateTime now{QDate(2024, 5, 1), QTime(9, 30), Qt::UTC};

    QString iniPath() const { return settingsDir.filePath("Kestro.ini"); }
    DriveTable table() {
        DriveTable drives(IniFile(iniPath()), system);
        drives.setClock([this] { return now; });
        return drives;
    }
    // The drives there are, described by the drive system.
    static std::vector<Drive> described(DriveTable& drives) {
        std::vector<Drive> list = drives.letters();
        for (Drive& drive : list)
            drive = drives.describe(drive);
        return list;
    }
    // The letters the settings file remembers: "D=/media/alice/STICK", "E-/mnt/cdrom"
    // for one that is away.
    QStringList remembered() {
        QStringList shown;
        for (const DriveLetter& l : table().rememberedLetters())
            shown << l.letter + QString(l.present ? "=" : "-") + l.folder;
        return shown;
    }
    QStringList listing() {
        QStringList shown;
        for (const Drive& drive : table().letters())
            shown << drive.name() + drive.root;
        return shown;
    }
};

} // namespace

TEST_F(DriveTableTest, CIsTheRootAndOtherMountsGetLettersFromDThatTheyKeep) {
    tables.setMountInfo(kRoot + "21 26 0:20 / /proc rw - proc proc rw\n" + kStick + kDisc);
    DriveTable first = table();
    const std::vector<Drive> drives = described(first);
    ASSERT_EQ(drives.size(), 3u);
    EXPECT_EQ(drives[0].display(), "c: [/]");
    EXPECT_EQ(drives[0].type, DriveType::Fixed);
    EXPECT_EQ(drives[1].display(), "d: [STICK]");
    EXPECT_EQ(drives[2].name() + drives[2].root, "E:/mnt/cdrom");
    EXPECT_EQ(readAll(iniPath()), "[Drives]\nD=mount 2024-05-01T09:30:00.000Z /media/alice/STICK\n"
                                  "E=mount 2024-05-01T09:30:00.000Z /mnt/cdrom\n");
    // Another run: the stick is away and keeps its letter, a share is new, the order changed.
    tables.setMountInfo(kRoot + kShare + kDisc);
    EXPECT_EQ(listing(), QStringList({"C:/", "E:/mnt/cdrom", "F:/mnt/share"}));
    tables.setMountInfo(kRoot + kShare + kDisc + kStick);
    EXPECT_EQ(listing(),
              QStringList({"C:/", "D:/media/alice/STICK", "E:/mnt/cdrom", "F:/mnt/share"}));
}

TEST_F(DriveTableTest, FloppiesAloneGetAAndB) {
    tables.setMountInfo(kRoot + "70 26 2:0 / /media/floppy rw - vfat /dev/fd0 rw\n" + kStick +
                        "71 26 2:1 / /media/floppy1 rw - vfat /dev/fd1 rw\n"
                        "72 26 2:2 / /media/floppy2 rw - vfat /dev/fd2 rw\n");
    DriveTable drives = table();
    EXPECT_EQ(drives.rootOf("a:"), "/media/floppy");
    EXPECT_EQ(drives.rootOf("B:\\"), "/media/floppy1");
    EXPECT_EQ(drives.rootOf("d"), "/media/alice/STICK");
    ASSERT_EQ(drives.unlisted().size(), 1u);
    EXPECT_EQ(drives.unlisted()[0].mountPoint, "/media/floppy2");
    EXPECT_EQ(drives.unlisted()[0].reason, "no floppy disk drive letter is free");
}

TEST_F(DriveTableTest, OddMountPointNamesSurviveTheSettingsFile) {
    const QString odd = "/media/alice/ MY DISK\n\\x\" ";
    tables.setMountInfo(kRoot + "80 26 8:17 / /media/alice/\\040MY\\040DISK\\012\\134x\"\\040 rw "
                                "- vfat /dev/sdb1 rw\n"
                                "81 26 8:18 / /media/caf\xe9 rw - vfat /dev/sdb2 rw\n");
    EXPECT_EQ(table().rootOf("D:"), odd);
    const QByteArray saved = readAll(iniPath());
    EXPECT_EQ(
        saved,
        "[Drives]\nD=mount 2024-05-01T09:30:00.000Z /media/alice/ MY DISK\\012\\134x\"\\040\n");
    // The next run reads the same folder back and writes nothing new.
    DriveTable again = table();
    EXPECT_EQ(described(again)[1].display(), "d: [ MY DISK?\\x\" ]");
    EXPECT_EQ(readAll(iniPath()), saved);
    ASSERT_EQ(again.unlisted().size(), 1u);
    EXPECT_EQ(again.unlisted()[0].reason, "its name is not UTF-8");
}

TEST_F(DriveTableTest, AFolderMappedToALetterIsADrive) {
    tables.setMountInfo(kRoot + kStick);
    QTemporaryDir music;
    DriveTable drives = table();
    EXPECT_EQ(drives.mapFolder('f', music.path()), "");
    EXPECT_EQ(drives.letterOf(music.path() + "/"), QChar('F'));
    EXPECT_EQ(drives.localPath("f:\\Jazz\\take five.mp3"), music.filePath("Jazz/take five.mp3"));
    EXPECT_EQ(drives.driveType("F:"), LinuxDriveSystem().driveType(music.path()));
    EXPECT_EQ(drives.letters().back().display(), "f: [" + QDir(music.path()).dirName() + "]");

    for (QChar refused : {'C', 'a'})
        EXPECT_NE(drives.mapFolder(refused, music.path()), "");
    EXPECT_NE(drives.mapFolder('G', music.filePath("none")), "");
    EXPECT_NE(drives.mapFolder('G', "relative"), "");
    EXPECT_EQ(drives.mapFolder('D', QDir::tempPath()), "D: already stands for /media/alice/STICK.");
    EXPECT_EQ(drives.mapFolder('G', "/"), "/ is already drive C:.");
    EXPECT_EQ(drives.mapFolder('G', music.path()), music.path() + " is already drive F:.");

    EXPECT_TRUE(drives.unmap('f'));
    EXPECT_EQ(drives.driveType("f:"), DriveType::NoRootFolder);
    // A letter whose medium is away may be given to a folder.
    tables.setMountInfo(kRoot);
    EXPECT_EQ(drives.mapFolder('D', music.path()), "");
    EXPECT_EQ(drives.rootOf("D:"), music.path());
}

TEST_F(DriveTableTest, AFolderChosenByTheUserTakesTheFirstLetterThatStandsForNothing) {
    tables.setMountInfo(kRoot + kStick + kDisc);
    table().letters();
    tables.setMountInfo(kRoot + kStick); // the disc in E: is away, and keeps its letter
    QTemporaryDir photos;
    DriveTable drives = table();
    QString refusal;
    EXPECT_EQ(drives.mapToFreeLetter(photos.path() + "/", refusal), QChar('F'));
    EXPECT_EQ(refusal, "");
    EXPECT_EQ(drives.mapToFreeLetter(photos.path(), refusal), QChar('F'));

    // Listed without asking the drives; asked, a drive tells its type.
    const std::vector<Drive> listed = drives.letters();
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[1].name() + listed[1].root, "D:/media/alice/STICK");
    EXPECT_FALSE(listed[1].mappedFolder);
    EXPECT_EQ(listed[2].name() + listed[2].root, "F:" + photos.path());
    EXPECT_TRUE(listed[2].mappedFolder);
    EXPECT_EQ(listed[2].type, DriveType::Unknown);
    EXPECT_EQ(drives.describe(listed[2]).type, LinuxDriveSystem().driveType(photos.path()));

    // A mapped folder that has gone is no drive.
    photos.remove();
    EXPECT_EQ(drives.letters().size(), 2u);
}

TEST_F(DriveTableTest, WithEveryLetterTakenAnAbsentMediumGivesUpItsLetter) {
    QList<QByteArray> disks; // D: to Z:
    for (int i = 100; i < 123; ++i)
        disks << QStringLiteral("%1 26 8:%1 / /mnt/disk%1 rw - ext4 /dev/sdx rw\n").arg(i).toUtf8();
    tables.setMountInfo(kRoot + disks.join() + kStick);
    DriveTable full = table();
    EXPECT_EQ(full.rootOf("Z:"), "/mnt/disk122");
    EXPECT_EQ(full.letterOf("/media/alice/STICK"), QChar());
    EXPECT_EQ(full.unlisted().size(), 1u);
    QString refusal;
    EXPECT_EQ(full.mapToFreeLetter(settingsDir.path(), refusal), QChar());
    EXPECT_EQ(refusal, "No drive letter is free for " + settingsDir.path() +
                           ": every letter from D: to Z: stands for a file system mounted now.");

    disks.removeAt(5); // I:
    tables.setMountInfo(kRoot + disks.join() + kStick);
    EXPECT_EQ(table().rootOf("I:"), "/media/alice/STICK");
}

TEST_F(DriveTableTest, DrivesAreListedWhenTheSettingsFileCannotBeWritten) {
    test::writeAll(settingsDir.filePath("file"), "not a folder");
    tables.setMountInfo(kRoot + kStick + kDisc);
    DriveTable drives(IniFile(settingsDir.filePath("file/Kestro.ini")), system);
    EXPECT_EQ(drives.rootOf("E:"), "/mnt/cdrom");
    EXPECT_EQ(drives.rootOf("E:"), "/mnt/cdrom");
    EXPECT_EQ(drives.rootOf("1:"), "");
    EXPECT_FALSE(drives.diskSpace("q:"));
}

TEST_F(DriveTableTest, ARememberedLetterIsAPreferenceNotAReservation) {
    // D: to Y: remember media, seen on the day given; Z: a mapped folder.
    QTemporaryDir photos, music;
    const auto rememberMedia = [&](const std::function<QString(char)>& day) {
        QStringList ini{"[Drives]"};
        for (char c = 'D'; c <= 'Y'; ++c)
            ini << QString("%1=mount 2024-04-%2T10:00:00.000Z /media/alice/M%1").arg(c).arg(day(c));
        ini << "Z=folder 2024-03-01T10:00:00.000Z " + photos.path();
        test::writeAll(iniPath(), ini.join('\n').toUtf8() + '\n');
    };
    // Every medium is away, G: longest, then K:.
    rememberMedia([](char c) { return c == 'G' ? "01" : c == 'K' ? "02" : "10"; });
    tables.setMountInfo(kRoot + kStick);
    EXPECT_EQ(table().rootOf("G:"), "/media/alice/STICK");
    QString refusal;
    EXPECT_EQ(table().mapToFreeLetter(music.path(), refusal), QChar('K'));
    EXPECT_FALSE(remembered().contains("G-/media/alice/MG")) << "what G: stood for is forgotten";
    // A medium that comes back has its letter again; one whose letter went
    // elsewhere is new.
    tables.setMountInfo(kRoot + kStick +
                        "91 26 8:49 / /media/alice/ME rw - vfat /dev/sdd1 rw\n"
                        "92 26 8:50 / /media/alice/MG rw - vfat /dev/sdd2 rw\n");
    EXPECT_EQ(table().letterOf("/media/alice/ME"), QChar('E'));
    EXPECT_EQ(table().letterOf("/media/alice/MG"), QChar('D'));

    // With every medium there, the mapped folder gives up its letter; then
    // nothing can.
    rememberMedia([](char) { return "10"; });
    QByteArray media;
    for (char c = 'D'; c <= 'Y'; ++c)
        media += QString("%1 26 8:%1 / /media/alice/M%2 rw - ext4 /dev/sdx rw\n")
                     .arg(100 + c)
                     .arg(c)
                     .toUtf8();
    tables.setMountInfo(kRoot + media + kStick);
    EXPECT_EQ(table().rootOf("Z:"), "/media/alice/STICK");
    EXPECT_EQ(table().mapToFreeLetter(photos.path(), refusal), QChar());
    EXPECT_EQ(remembered().size(), 24) << "C: and a letter each from D: to Z:";
}

TEST_F(DriveTableTest, AMountPointIsThereWhileMountedAndAFolderOnAShareWhileTheShareIs) {
    QTemporaryDir usb, earlier; // folders that stay when nothing is mounted on them
    tables.setMountInfo(kRoot + "90 26 8:33 / " + usb.path().toUtf8() +
                        " rw - vfat /dev/sdc1 rw\n" + kShare);
    IniFile(iniPath()).setValues("Drives", {{"F", "folder 2024-04-01T00:00:00.000Z "
                                                  "/mnt/share/photos"},
                                            {"G", earlier.path()}}); // as an earlier version wrote
    EXPECT_EQ(remembered(), QStringList({"C=/", "D=" + usb.path(), "E=/mnt/share",
                                         "F=/mnt/share/photos", "G=" + earlier.path()}));
    EXPECT_TRUE(readAll(iniPath()).contains("G=folder 2024-05-01T09:30:00.000Z " +
                                            earlier.path().toUtf8()));
    tables.setMountInfo(kRoot);
    EXPECT_EQ(remembered(), QStringList({"C=/", "D-" + usb.path(), "E-/mnt/share",
                                         "F-/mnt/share/photos", "G=" + earlier.path()}));
    QList<bool> mapped;
    for (const DriveLetter& letter : table().rememberedLetters())
        mapped << letter.mappedFolder;
    EXPECT_EQ(mapped, QList<bool>({false, false, false, true, true}));
}
