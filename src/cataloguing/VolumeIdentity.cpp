#include "cataloguing/VolumeIdentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>

namespace kestro {

namespace {

constexpr int kSerialAttempts = 3;
constexpr int kMarkerWrites = 3;

const QString kNoSerialMessage = QStringLiteral(
    "Can't catalog this volume.  Can't retrieve serial number from read-only media.");
const QString kNoMarkerMessage =
    QStringLiteral("Can't catalog this volume.  Can't write marker file.");

void tell(const std::function<void(const QString&)>& callback, const QString& text) {
    if (callback)
        callback(text);
}

} // namespace

qint32 DaysThroughMonth(int month) {
    static constexpr std::array<qint32, 12> lengths = {31, 28, 31, 30, 31, 30,
                                                       31, 31, 30, 31, 30, 31};
    qint32 days = 0;
    for (int m = 0; m < month && m < 12; ++m)
        days += lengths[m];
    return days;
}

QString MakeVolumeId(const QDateTime& localNow) {
    const QDate date = localNow.date();
    const QTime time = localNow.time();
    // Computed wide and narrowed to 32 bits: since C++20 the narrowing keeps
    // the low 32 bits, which is two's complement wrap-around.
    const auto years = static_cast<qint32>(qint64(date.year() - 1996) * 31536000);
    const auto months = static_cast<qint32>(qint64(DaysThroughMonth(date.month())) * 86400);
    const auto total = static_cast<qint32>(qint64(years) + months + qint64(date.day()) * 86400 +
                                           time.hour() * 3600 + time.minute() * 60 + time.second());
    return QString::number(total);
}

QString MakeVolumeId() {
    return MakeVolumeId(CurrentLocalTime());
}

QDateTime CurrentLocalTime() {
    return QDateTime::currentDateTime();
}

bool WriteVolumeMarker(const QString& root, const QString& identifier, DriveSystem& drives) {
    const QString path = QDir(root).filePath(QString::fromLatin1(kMarkerFileName));
    // A link named like the marker would lead the write to a file elsewhere,
    // perhaps one of the user's own: the link itself goes.
    if (QFileInfo(path).isSymLink() && !QFile::remove(path))
        return false;
    // Written beside and renamed into place where the folder allows, so a
    // full disk or a pulled medium never leaves half a marker.
    QSaveFile marker(path);
    marker.setDirectWriteFallback(true);
    const QByteArray line = identifier.toUtf8() + "\r\n";
    if (!marker.open(QIODevice::WriteOnly) || marker.write(line) != line.size() || !marker.commit())
        return false;
    return drives.setHidden(path);
}

QString FreeVolumeId(QString identifier, const std::function<bool(const QString&)>& taken) {
    // Two volumes marked within the same second would otherwise share an
    // identifier, and cataloguing the second would replace the first.
    while (taken && taken(identifier))
        identifier = QString::number(identifier.toLongLong() + 1);
    return identifier;
}

QString IdentifyVolume(const QString& root, int driveType, DriveSystem& drives,
                       const IdentifyFeedback& feedback,
                       const std::function<QDateTime()>& localClock,
                       const std::function<bool(const QString&)>& taken) {
    tell(feedback.status, QStringLiteral("Identifying volume..."));
    if (driveType == DriveType::CdRom) {
        std::optional<qint32> serial;
        for (int attempt = 0; attempt < kSerialAttempts && !serial; ++attempt)
            serial = drives.volumeSerial(root);
        if (const QString identifier = SerialIdentifier(serial.value_or(0)); !identifier.isEmpty())
            return identifier;
        tell(feedback.message, kNoSerialMessage);
        return {};
    }
    // A volume keeps the identifier its marker holds for ever; a new marker
    // counts only once it reads back.
    std::optional<QString> identifier = ReadVolumeMarker(root);
    for (int writes = 0; !identifier && writes < kMarkerWrites; ++writes) {
        if (!WriteVolumeMarker(root, FreeVolumeId(MakeVolumeId(localClock()), taken), drives))
            break;
        identifier = ReadVolumeMarker(root);
    }
    if (identifier)
        return *identifier;
    tell(feedback.message, kNoMarkerMessage);
    return {};
}

} // namespace kestro
