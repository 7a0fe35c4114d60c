#include "platform/VolumeLocator.h"

#include "platform/VolumeMarker.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

namespace kestro {

namespace {

// How often a wait lets `whileWaiting` run.
constexpr std::chrono::milliseconds kWaitStep(20);

// The identifier of the volume in the folder `root`: a CD-ROM's from its
// serial number, any other's from its marker; empty when there is none.
QString identifierAt(const QString& root, const DriveSystem& system) {
    const int type = system.driveType(root);
    if (type < DriveType::Removable)
        return {};
    if (type == DriveType::CdRom)
        return SerialIdentifier(system.volumeSerial(root).value_or(0));
    return ReadVolumeMarker(root).value_or(QString());
}

} // namespace

// What the threads of all questions share with the locator. A thread may
// outlive the locator and the call that started it (a drive that never
// answers keeps it for ever), so it holds this and its round, never them.
struct VolumeLocator::Questions {
    std::mutex mutex;
    std::condition_variable answered;
    std::set<QString> open; // roots whose thread has not ended

    // The answers of one call of locate(), by the index of the drive.
    struct Round {
        std::vector<std::optional<QString>> answers;
        size_t unanswered = 0;
    };
};

VolumeLocator::VolumeLocator(DriveSystem& system, int timeLimitMs)
    : questions_(std::make_shared<Questions>()), system_(system), timeLimitMs_(timeLimitMs) {}

std::vector<HeldVolume> VolumeLocator::locate(const std::vector<Drive>& drives,
                                              const QString& wanted,
                                              const std::function<void()>& whileWaiting) const {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeLimitMs_);
    auto round = std::make_shared<Questions::Round>();
    round->answers.resize(drives.size());
    std::unique_lock lock(questions_->mutex);
    for (size_t i = 0; i < drives.size(); ++i) {
        const QString root = drives[i].root;
        if (!questions_->open.insert(root).second)
            continue; // still asked from before: no answer this time either
        ++round->unanswered;
        std::thread([questions = questions_, round, i, root, &system = system_] {
            const QString identifier = identifierAt(root, system);
            const std::lock_guard done(questions->mutex);
            questions->open.erase(root);
            round->answers[i] = identifier;
            --round->unanswered;
            questions->answered.notify_all();
        }).detach();
    }

    const auto found = [&] {
        for (const std::optional<QString>& answer : round->answers)
            if (answer && !wanted.isEmpty() && *answer == wanted)
                return true;
        return false;
    };
    while (round->unanswered > 0 && !found() && std::chrono::steady_clock::now() < deadline) {
        questions_->answered.wait_until(
            lock, std::min(deadline, std::chrono::steady_clock::now() + kWaitStep));
        if (whileWaiting) {
            lock.unlock();
            whileWaiting();
            lock.lock();
        }
    }

    std::vector<HeldVolume> held;
    for (size_t i = 0; i < drives.size(); ++i)
        if (round->answers[i] && !round->answers[i]->isEmpty())
            held.push_back({drives[i], *round->answers[i]});
    return held;
}

} // namespace kestro
