// A volume's marker file as any medium may carry it: the identifier read is
// nothing, or one that can name the volume's tables and tree keys. It is the
// marker's first line in lower case, and written as a marker it reads back
// the same.
//
// Input: the marker file.

#include "FuzzSupport.h"
#include "cataloguing/VolumeIdentity.h"

#include <QDir>
#include <QRegularExpression>

using namespace kestro;
using namespace kestro::fuzz;

namespace {

// Hiding is the drive system's only part a marker write asks for.
class NoHiding : public DriveSystem {
public:
    std::vector<Mount> mounts() const override { return {}; }
    int driveType(const QString&) const override { return DriveType::Removable; }
    std::optional<DiskSpace> diskSpace(const QString&) const override { return std::nullopt; }
    std::optional<qint32> volumeSerial(const QString&) const override { return std::nullopt; }
    QString volumeLabel(const QString&) const override { return {}; }
    bool setHidden(const QString&) override { return true; }
    void eject(const QString&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray marker = bytesOf(data, size);
    const QString root = scratchFolder() + QStringLiteral("/volume");
    QDir().mkpath(root);
    const QString path = root + QLatin1Char('/') + QLatin1String(kMarkerFileName);
    writeFile(path, marker);

    const std::optional<QString> identifier = ReadVolumeMarker(root);
    if (!identifier)
        return 0;
    static const QRegularExpression usable(QStringLiteral("^[0-9a-z-]{1,64}$"));
    FUZZ_CHECK(usable.match(*identifier).hasMatch());
    FUZZ_CHECK(*identifier != QLatin1String("temp") && *identifier != QLatin1String("template") &&
               !identifier->startsWith(QLatin1String("msys")));
    const QByteArray firstLine = marker.split('\n').first().split('\r').first();
    FUZZ_CHECK(QString::fromUtf8(firstLine).toLower() == *identifier ||
               QString::fromUtf8(firstLine).toLower() == *identifier + QLatin1String(".vol"));

    NoHiding drives;
    FUZZ_CHECK(WriteVolumeMarker(root, *identifier, drives));
    FUZZ_CHECK(ReadVolumeMarker(root) == identifier);
    return 0;
}
