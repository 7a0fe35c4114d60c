#include "platform/VolumeLocator.h"

#include "platform/VolumeMarker.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
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
// answers keeps it for ever), so it holds this and its answer, never them.
struct VolumeLocator::Questions {
    using Answer = std::shared_ptr<std::optional<QString>>;

    std::mutex mutex;
    std::condition_variable answered;
    std::map<QString, Answer> open; // by root: the answers still to come
};

VolumeLocator::VolumeLocator(DriveSystem& system, int timeLimitMs)
    : questions_(std::make_shared<Questions>()), system_(system), timeLimitMs_(timeLimitMs) {}

std::vector<HeldVolume> VolumeLocator::locate(const std::vector<Drive>& drives,
                                              const QString& wanted,
                                              const std::function<void()>& whileWaiting) const {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeLimitMs_);
    std::unique_lock lock(questions_->mutex);
    // A drive still asked from before is not asked again: that answer serves.
    std::vector<Questions::Answer> answers;
    for (const Drive& drive : drives) {
        Questions::Answer& answer = questions_->open[drive.root];
        if (!answer) {
            answer = std::make_shared<std::optional<QString>>();
            std::thread([questions = questions_, answer, root = drive.root, &system = system_] {
                const QString identifier = identifierAt(root, system);
                const std::lock_guard done(questions->mutex);
                *answer = identifier;
                questions->open.erase(root);
                questions->answered.notify_all();
            }).detach();
        }
        answers.push_back(answer);
    }

    const auto done = [&] {
        const bool all = std::all_of(answers.begin(), answers.end(),
                                     [](const Questions::Answer& a) { return a->has_value(); });
        const bool found =
            !wanted.isEmpty() && std::any_of(answers.begin(), answers.end(), [&](const auto& a) {
                return a->has_value() && **a == wanted;
            });
        return all || found;
    };
    while (!done() && std::chrono::steady_clock::now() < deadline) {
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
        if (answers[i]->has_value() && !answers[i]->value().isEmpty())
            held.push_back({drives[i], answers[i]->value()});
    return held;
}

} // namespace kestro
