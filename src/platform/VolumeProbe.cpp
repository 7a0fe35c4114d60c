#include "platform/VolumeProbe.h"

#include <QFile>
#include <QRegularExpression>
#include <blkid/blkid.h>
#include <memory>

namespace kestro {

namespace {

struct ProbeDeleter {
    void operator()(blkid_struct_probe* probe) const { blkid_free_probe(probe); }
};

QString lookup(blkid_probe probe, const char* name) {
    const char* data = nullptr;
    if (blkid_probe_lookup_value(probe, name, &data, nullptr) != 0 || !data)
        return {};
    return QString::fromUtf8(data);
}

} // namespace

std::optional<VolumeTags> ProbeVolume(const QString& deviceOrImage) {
    std::unique_ptr<blkid_struct_probe, ProbeDeleter> probe(
        blkid_new_probe_from_filename(QFile::encodeName(deviceOrImage).constData()));
    if (!probe)
        return std::nullopt;
    blkid_probe_enable_superblocks(probe.get(), 1);
    blkid_probe_set_superblocks_flags(probe.get(), BLKID_SUBLKS_UUID | BLKID_SUBLKS_LABEL);
    const int result = blkid_do_safeprobe(probe.get());
    // 1: no file system found; -2: several claim the device, so none is sure.
    if (result == 1 || result == -2)
        return VolumeTags{};
    if (result != 0)
        return std::nullopt;
    return VolumeTags{lookup(probe.get(), "UUID"), lookup(probe.get(), "LABEL")};
}

qint32 SerialFromUuid(const QString& uuid) {
    if (uuid.isEmpty())
        return 0;
    static const QRegularExpression fatStyle(QStringLiteral("^([0-9A-Fa-f]{4})-([0-9A-Fa-f]{4})$"));
    if (const QRegularExpressionMatch fat = fatStyle.match(uuid); fat.hasMatch())
        return static_cast<qint32>((fat.captured(1) + fat.captured(2)).toUInt(nullptr, 16));
    quint32 hash = 2166136261u;
    for (const char byte : uuid.toUtf8()) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 16777619u;
    }
    return hash == 0 ? 1 : static_cast<qint32>(hash);
}

std::optional<qint32> VolumeSerialOf(const QString& deviceOrImage) {
    const std::optional<VolumeTags> tags = ProbeVolume(deviceOrImage);
    if (!tags)
        return std::nullopt;
    return SerialFromUuid(tags->uuid);
}

} // namespace kestro
