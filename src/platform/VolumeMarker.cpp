#include "platform/VolumeMarker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace kestro {

namespace {

// A marker holds one short line; nothing past this is read.
constexpr qint64 kMarkerReadLimit = 4096;

bool isUsableIdentifier(const QString& identifier) {
    static const QRegularExpression allowed(QStringLiteral("^[0-9a-z-]{1,64}$"));
    return allowed.match(identifier).hasMatch() && identifier != QLatin1String("temp") &&
           identifier != QLatin1String("template") && !identifier.startsWith(QLatin1String("msys"));
}

} // namespace

std::optional<QString> ReadVolumeMarker(const QString& root) {
    const QString path = QDir(root).filePath(QString::fromLatin1(kMarkerFileName));
    // A marker is a plain file; a link is replaced by one, never followed.
    QFile marker(path);
    if (QFileInfo(path).isSymLink() || !marker.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = marker.read(kMarkerReadLimit);
    qsizetype end = head.indexOf('\n');
    if (const qsizetype cr = head.indexOf('\r'); cr >= 0 && (end < 0 || cr < end))
        end = cr;
    QString identifier = QString::fromUtf8(head.left(end < 0 ? head.size() : end)).toLower();
    if (identifier.endsWith(QLatin1String(".vol")))
        identifier.chop(4);
    if (!isUsableIdentifier(identifier))
        return std::nullopt;
    return identifier;
}

QString SerialIdentifier(qint32 serial) {
    const qint64 number = qAbs(qint64(serial));
    return number > 0 ? QString::number(number) : QString();
}

} // namespace kestro
