#pragma once

#include "platform/DriveTable.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace kestro {

// A drive and the catalogued volume it holds now.
struct HeldVolume {
    Drive drive;
    QString tablename; // the volume's identifier
};

// Finds which volume each drive holds by the identifier the volume carries
// (see VolumeMarker.h): one small read per drive. Every drive is asked on a
// thread of its own and given a time limit, so a drive that keeps its answer
// waiting (a network share whose server has gone) holds up nothing: it
// counts as holding no volume. A drive is not asked again while a question
// to it is open; its answer serves every caller waiting for it.
class VolumeLocator {
public:
    static constexpr int kDriveTimeLimitMs = 2000;

    // `system` must outlive every question still being asked: the program's
    // own lives as long as the program.
    explicit VolumeLocator(DriveSystem& system, int timeLimitMs = kDriveTimeLimitMs);

    // The drives of `drives` that hold a volume, in their order. Returns once
    // every drive has answered, a drive holding the volume `wanted` has been
    // found, or the time limit is over; `whileWaiting` runs every few
    // milliseconds until then (a window lets its events run there). May be
    // called from any thread.
    std::vector<HeldVolume> locate(const std::vector<Drive>& drives, const QString& wanted = {},
                                   const std::function<void()>& whileWaiting = {}) const;

private:
    struct Questions;

    std::shared_ptr<Questions> questions_;
    DriveSystem& system_;
    int timeLimitMs_;
};

} // namespace kestro
