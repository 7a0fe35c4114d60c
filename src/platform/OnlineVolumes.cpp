#include "platform/OnlineVolumes.h"

#include "platform/MountWatcher.h"

#include <QThread>
#include <QTimer>

namespace kestro {

OnlineVolumes::OnlineVolumes(DriveTable& drives, QObject* parent)
    : QObject(parent), drives_(drives), locator_(drives.system()),
      watcher_(new MountWatcher(drives.system().mountTableFile(), this)),
      settle_(new QTimer(this)) {
    settle_->setSingleShot(true);
    settle_->setInterval(kSettleMs);
    connect(watcher_, &MountWatcher::mountsChanged, settle_, qOverload<>(&QTimer::start));
    connect(settle_, &QTimer::timeout, this, &OnlineVolumes::refresh);
}

OnlineVolumes::~OnlineVolumes() {
    if (look_) {
        look_->wait();
        delete look_;
    }
}

std::optional<Drive> OnlineVolumes::driveOf(const QString& tablename) const {
    const auto found = online_.find(tablename);
    if (found == online_.end())
        return std::nullopt;
    return found->second;
}

void OnlineVolumes::refresh() {
    if (look_) {
        lookAgain_ = true;
        return;
    }
    // The letters are read here: the drive table belongs to this thread.
    look_ =
        QThread::create([this, drives = drives_.letters()] { found_ = locator_.locate(drives); });
    connect(look_, &QThread::finished, this, &OnlineVolumes::looked);
    look_->start();
}

void OnlineVolumes::looked() {
    look_->wait(); // finished() comes just before the thread's very end
    delete look_;
    look_ = nullptr;
    online_.clear();
    for (HeldVolume& held : found_)
        online_.emplace(held.tablename, std::move(held.drive));
    Q_EMIT changed();
    if (lookAgain_) {
        lookAgain_ = false;
        refresh();
    }
}

} // namespace kestro
