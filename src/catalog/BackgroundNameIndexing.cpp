#include "catalog/BackgroundNameIndexing.h"

#include "catalog/CatalogError.h"
#include "catalog/Database.h"
#include "catalog/HostedConnection.h"
#include "catalog/HostedNameIndex.h"
#include "platform/CatalogLocation.h"

namespace kestro {

BackgroundNameIndexing::BackgroundNameIndexing() = default;

BackgroundNameIndexing::~BackgroundNameIndexing() {
    stop();
}

void BackgroundNameIndexing::start(const QString& location) {
    if (!isHostedLocation(location))
        return;
    {
        const std::lock_guard lock(mutex_);
        if (busy_ && location_ == location) {
            again_ = true;
            return;
        }
    }
    stop();
    {
        const std::lock_guard lock(mutex_);
        location_ = location;
        busy_ = true;
    }
    thread_ = std::thread([this, location] { indexUntilDone(location); });
}

bool BackgroundNameIndexing::busy() const {
    const std::lock_guard lock(mutex_);
    return busy_;
}

void BackgroundNameIndexing::stop() {
    std::unique_lock lock(mutex_);
    again_ = false;
    // A statement sent just after a cancel would run to its end: the cancel
    // is sent again until the thread is done.
    while (busy_) {
        if (canceller_)
            canceller_->cancel();
        idle_.wait_for(lock, std::chrono::milliseconds(100));
    }
    lock.unlock();
    if (thread_.joinable())
        thread_.join();
}

void BackgroundNameIndexing::indexUntilDone(const QString& location) {
    for (;;) {
        try {
            const Database db = Database::open(location, OpenMode::SharedReadWrite);
            {
                const std::lock_guard lock(mutex_);
                canceller_ = db.canceller();
            }
            IndexAllHostedNames(db);
        } catch (const CatalogError&) {
            // Stopped, or the server is gone: searches read the tables.
        }
        const std::lock_guard lock(mutex_);
        canceller_.reset();
        if (!again_) {
            busy_ = false;
            idle_.notify_all();
            return;
        }
        again_ = false;
    }
}

} // namespace kestro
