#include "platform/DriveProbe.h"

#include <QElapsedTimer>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace kestro {

namespace {

constexpr std::chrono::milliseconds kAskAgainAfter(250);
// How long a probe that goes waits for the questions still being asked: a
// drive that answers at all answers well within it.
constexpr std::chrono::milliseconds kFinishWait(200);

} // namespace

// Where a question's thread leaves its answer. The thread may outlive the
// probe (a drive that never answers keeps it forever), so it holds the
// mailbox rather than the probe; the probe closes it when it goes.
struct DriveProbe::Mailbox {
    std::mutex mutex;
    std::condition_variable finished;
    DriveProbe* receiver = nullptr;
    int asking = 0; // questions whose thread has not ended

    bool isOpen() {
        const std::lock_guard lock(mutex);
        return receiver != nullptr;
    }

    // The last thing a question's thread does.
    void deliver(const Drive& answer) {
        const std::lock_guard lock(mutex);
        // Posted while the receiver cannot go away: its destructor waits for
        // the lock, and takes any event still on its way with it.
        if (receiver)
            QMetaObject::invokeMethod(
                receiver, [probe = receiver, answer] { Q_EMIT probe->answered(answer); },
                Qt::QueuedConnection);
        --asking;
        finished.notify_all();
    }
};

DriveProbe::DriveProbe(const DriveTable& drives, int waitMs, QObject* parent)
    : QObject(parent), mailbox_(std::make_shared<Mailbox>()), drives_(drives), waitMs_(waitMs) {
    mailbox_->receiver = this;
}

DriveProbe::~DriveProbe() {
    std::unique_lock lock(mailbox_->mutex);
    mailbox_->receiver = nullptr;
    // Threads of drives that keep their answer are left to end on their own.
    mailbox_->finished.wait_for(lock, kFinishWait, [this] { return mailbox_->asking == 0; });
}

void DriveProbe::ask(const Drive& drive) {
    {
        const std::lock_guard lock(mailbox_->mutex);
        ++mailbox_->asking;
    }
    std::thread([mailbox = mailbox_, &drives = drives_, drive, waitMs = waitMs_] {
        QElapsedTimer waited;
        waited.start();
        Drive answer = drives.describe(drive);
        while (answer.type < DriveType::Removable && !waited.hasExpired(waitMs) &&
               mailbox->isOpen()) {
            std::this_thread::sleep_for(kAskAgainAfter);
            answer = drives.describe(drive);
        }
        mailbox->deliver(answer);
    }).detach();
}

} // namespace kestro
