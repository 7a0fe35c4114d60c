#include "cataloguing/VolumeIdentity.h"

#include "support/ScratchMount.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <limits>

using namespace kestro;
using kestro::test::readAll;
using kestro::test::writeAll;

namespace {

const QString kNoSerial =
    "Can't catalog this volume.  Can't retrieve serial number from read-only media.";
const QString kNoMarker = "Can't catalog this volume.  Can't write marker file.";
const QDateTime kMarch1998(QDate(1998, 3, 5), QTime(14, 7, 22));

// Scripted serial numbers and a hiding that can be told to fail; marker
// files themselves are real files in real folders.
class ScriptedDrives : public DriveSystem {
  public:
    mutable std::deque<std::optional<qint32>> serials; // answers in turn
    mutable int serialQueries = 0;
    bool hidingWorks = true;
    QStringList hidden;

    std::vector<Mount> mounts() const override { return {}; }
    int driveType(const QString&) const override { return DriveType::Removable; }
    std::optional<DiskSpace> diskSpace(const QString&) const override { return std::nullopt; }
    std::optional<qint32> volumeSerial(const QString&) const override {
        ++serialQueries;
        if (serials.empty())
            return std::nullopt;
        auto answer = serials.front();
        serials.pop_front();
        return answer;
    }
    QString volumeLabel(const QString&) const override { return {}; }
    bool setHidden(const QString& file) override {
        hidden << file;
        return hidingWorks && QFileInfo(file).isFile();
    }
    void eject(const QString&) override {}
};

struct Identify : ::testing::Test {
    QTemporaryDir volume;
    ScriptedDrives drives;
    QStringList statuses;
    QStringList messages;
    IdentifyFeedback feedback{[this](const QString& s) { statuses << s; },
                              [this](const QString& m) { messages << m; }};

    QString marker() const { return volume.filePath("Kestro.cat"); }
    QString identify(int type = DriveType::Removable, QDateTime now = kMarch1998) {
        return IdentifyVolume(volume.path(), type, drives, feedback, [now] { return now; });
    }
};

} // namespace

TEST(VolumeId, DaysThroughMonth) {
    EXPECT_EQ(DaysThroughMonth(-1), 0);
    EXPECT_EQ(DaysThroughMonth(0), 0);
    EXPECT_EQ(DaysThroughMonth(1), 31);
    EXPECT_EQ(DaysThroughMonth(2), 59);
    EXPECT_EQ(DaysThroughMonth(3), 90);
    EXPECT_EQ(DaysThroughMonth(12), 365);
    EXPECT_EQ(DaysThroughMonth(13), 365);
}

TEST(VolumeId, SecondsSince1996InPlainDecimal) {
    EXPECT_EQ(MakeVolumeId(kMarch1998), "71330842");
    // Before 1996 the count is negative.
    EXPECT_EQ(MakeVolumeId(QDateTime(QDate(1990, 1, 1), QTime(0, 0))), "-186451200");
    // Every year counts 365 days, so the last second of 1995 lands past its start.
    EXPECT_EQ(MakeVolumeId(QDateTime(QDate(1995, 12, 31), QTime(23, 59, 59))), "2764799");
    // 74 years overflow 32 bits: the count wraps instead of misbehaving.
    EXPECT_EQ(MakeVolumeId(QDateTime(QDate(2070, 1, 1), QTime(0, 0))), "-1958538496");
}

TEST_F(Identify, CdRomIsKnownByTheAbsoluteValueOfItsSerial) {
    drives.serials = {-5};
    EXPECT_EQ(identify(DriveType::CdRom), "5");
    drives.serials = {std::numeric_limits<qint32>::min()};
    EXPECT_EQ(identify(DriveType::CdRom), "2147483648");
    EXPECT_EQ(statuses, QStringList({"Identifying volume...", "Identifying volume..."}));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(QFile::exists(marker()));
}

TEST_F(Identify, CdRomSerialGetsThreeAttempts) {
    drives.serials = {std::nullopt, std::nullopt, 305441741};
    EXPECT_EQ(identify(DriveType::CdRom), "305441741");
    EXPECT_EQ(drives.serialQueries, 3);

    drives.serialQueries = 0;
    drives.serials = {std::nullopt, std::nullopt, std::nullopt, 7};
    EXPECT_EQ(identify(DriveType::CdRom), "");
    EXPECT_EQ(drives.serialQueries, 3);
    drives.serials = {0};
    EXPECT_EQ(identify(DriveType::CdRom), "");
    EXPECT_EQ(messages, QStringList({kNoSerial, kNoSerial}));
}

TEST_F(Identify, NewVolumeGetsAMarkerReadBackFromDisk) {
    EXPECT_EQ(identify(), "71330842");
    EXPECT_EQ(readAll(marker()), "71330842\r\n");
    EXPECT_EQ(drives.hidden, QStringList({marker()}));
    EXPECT_EQ(QDir(volume.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"Kestro.cat"}));
    // The volume keeps its identifier, whatever the clock says later.
    EXPECT_EQ(identify(DriveType::Fixed, QDateTime(QDate(2001, 1, 1), QTime(0, 0))), "71330842");
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Identify, MarkerIsReadLowerCasedWithoutVolSuffix) {
    writeAll(marker(), "71330842.VOL\r\nsecond line\r\n");
    EXPECT_EQ(identify(), "71330842");
    writeAll(marker(), "ABC\rx");
    EXPECT_EQ(identify(), "abc");
    writeAll(marker(), "-186451200");
    EXPECT_EQ(identify(), "-186451200");
    EXPECT_EQ(readAll(marker()), "-186451200");
    EXPECT_TRUE(drives.hidden.isEmpty());
}

TEST_F(Identify, EmptyOrUnusableMarkerIsReplaced) {
    // An identifier names tables and tree keys: "_" splits a key, quotes
    // and slashes break names, and temp/template are the catalog's own.
    for (const QByteArray& bad :
         {QByteArray(), QByteArray("\r\n71330842\r\n"), QByteArray("my_disk\r\n"),
          QByteArray("a\"b"), QByteArray("x/y"), QByteArray("TEMPLATE.vol"), QByteArray("temp"),
          QByteArray("msysobjects"), QByteArray(5000, '7')}) {
        writeAll(marker(), bad);
        EXPECT_EQ(identify(), "71330842") << bad.left(20).toStdString();
        EXPECT_EQ(readAll(marker()), "71330842\r\n");
    }
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Identify, MarkerLinkIsReplacedNotFollowed) {
    QTemporaryDir elsewhere;
    writeAll(elsewhere.filePath("notes.txt"), "# my notes\n");
    QFile::link(elsewhere.filePath("notes.txt"), marker());
    EXPECT_EQ(identify(), "71330842");
    EXPECT_FALSE(QFileInfo(marker()).isSymLink());
    EXPECT_EQ(readAll(elsewhere.filePath("notes.txt")), "# my notes\n");
}

TEST_F(Identify, MarkerThatCannotBeWrittenOrHiddenIsReported) {
    drives.hidingWorks = false;
    EXPECT_EQ(identify(), "");
    EXPECT_EQ(messages, QStringList({kNoMarker}));

    drives.hidingWorks = true;
    QFile::remove(marker());
    QDir().mkdir(marker()); // a folder in the marker's place
    EXPECT_EQ(identify(), "");
    EXPECT_EQ(messages, QStringList({kNoMarker, kNoMarker}));
}

TEST_F(Identify, ReadOnlyVolumeCannotTakeAMarker) {
    kestro::test::ScratchMount readOnly(volume.path(), "ro,size=1m");
    if (!readOnly.ok())
        GTEST_SKIP() << readOnly.failure();
    EXPECT_EQ(identify(), "");
    EXPECT_EQ(messages, QStringList({kNoMarker}));
    EXPECT_FALSE(QFile::exists(marker()));
}
