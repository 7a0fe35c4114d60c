#include "cataloguing/VolumeIdentity.h"

#include "support/TestSupport.h"

#include <QFileInfo>
#include <QTemporaryDir>
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

// Serial numbers answered in turn (nothing: the medium cannot be read) and a
// hiding that can be told to fail; markers are real files in real folders.
class ScriptedDrives : public DriveSystem {
public:
    std::vector<std::optional<qint32>> serials;
    mutable size_t serialQueries = 0;
    bool hidingWorks = true;

    std::vector<Mount> mounts() const override { return {}; }
    int driveType(const QString&) const override { return DriveType::Removable; }
    std::optional<DiskSpace> diskSpace(const QString&) const override { return std::nullopt; }
    std::optional<qint32> volumeSerial(const QString&) const override {
        const size_t query = serialQueries++;
        return query < serials.size() ? serials[query] : std::nullopt;
    }
    QString volumeLabel(const QString&) const override { return {}; }
    bool setHidden(const QString& file) override { return hidingWorks && QFileInfo(file).isFile(); }
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
    QString identify(int type = DriveType::Removable) {
        return IdentifyVolume(volume.path(), type, drives, feedback, [] { return kMarch1998; });
    }
};

} // namespace

TEST(VolumeId, SecondsSince1996InPlainDecimal) {
    EXPECT_EQ(DaysThroughMonth(0), 0);
    EXPECT_EQ(DaysThroughMonth(2), 59);
    EXPECT_EQ(DaysThroughMonth(12), 365);
    EXPECT_EQ(DaysThroughMonth(13), 365);
    EXPECT_EQ(MakeVolumeId(kMarch1998), "71330842");
    EXPECT_EQ(MakeVolumeId(QDateTime(QDate(1990, 1, 1), QTime(0, 0))), "-186451200");
    // Every year counts 365 days, so the last second of 1995 lands past 1996's start.
    EXPECT_EQ(MakeVolumeId(QDateTime(QDate(1995, 12, 31), QTime(23, 59, 59))), "2764799");
    // 74 years overflow 32 bits: the count wraps instead of misbehaving.
    EXPECT_EQ(MakeVolumeId(QDateTime(QDate(2070, 1, 1), QTime(0, 0))), "-1958538496");
}

TEST_F(Identify, CdRomIsKnownByItsSerialNumberReadInUpToThreeAttempts) {
    const std::optional<qint32> none;
    drives.serials = {
        -5, std::numeric_limits<qint32>::min(), none, none, 305441741, none, none, none, 7, 0};
    EXPECT_EQ(identify(DriveType::CdRom), "5");
    EXPECT_EQ(identify(DriveType::CdRom), "2147483648");
    EXPECT_EQ(identify(DriveType::CdRom), "305441741");
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(identify(DriveType::CdRom), "");
    EXPECT_EQ(drives.serialQueries, 8u);
    drives.serials = {0};
    drives.serialQueries = 0;
    EXPECT_EQ(identify(DriveType::CdRom), "");
    EXPECT_EQ(messages, QStringList({kNoSerial, kNoSerial}));
    EXPECT_EQ(statuses, QStringList(5, "Identifying volume..."));
    EXPECT_FALSE(QFile::exists(marker()));
}

TEST_F(Identify, NewVolumeGetsAMarkerReadBackFromIt) {
    EXPECT_EQ(identify(), "71330842");
    EXPECT_EQ(readAll(marker()), "71330842\r\n");
    EXPECT_EQ(QDir(volume.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"Kestro.cat"}));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Identify, MarkerIsKeptWhenUsableAndReplacedOtherwise) {
    const QString fresh = "71330842";
    // An identifier names tables and tree keys: "_" splits a key, quotes and
    // slashes break names, and temp and template are the catalog's own.
    const std::vector<std::pair<QByteArray, QString>> markers = {
        {"12345.VOL\r\nsecond line\r\n", "12345"},
        {"ABC\rx", "abc"},
        {"-186451200", "-186451200"},
        {"", fresh},
        {"\r\n12345\r\n", fresh},
        {"my_disk", fresh},
        {"a\"b", fresh},
        {"x/y", fresh},
        {"TEMPLATE.vol", fresh},
        {"temp", fresh},
        {"msysobjects", fresh},
        {QByteArray(5000, '7'), fresh}};
    for (const auto& [content, identifier] : markers) {
        writeAll(marker(), content);
        EXPECT_EQ(identify(), identifier) << content.left(20).toStdString();
        EXPECT_EQ(readAll(marker()), identifier == fresh ? "71330842\r\n" : content);
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
    drives.hidingWorks = true;
    QFile::remove(marker());
    QDir().mkdir(marker()); // a folder in the marker's place
    EXPECT_EQ(identify(), "");
    EXPECT_EQ(messages, QStringList({kNoMarker, kNoMarker}));
}
