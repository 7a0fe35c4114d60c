#pragma once

#include "platform/DriveSystem.h"

#include <condition_variable>
#include <mutex>
#include <set>

namespace kestro::test {

// A drive system that passes every question on to another, except that a
// held drive keeps the question for its type waiting until it is let go, as
// a network share whose server has gone holds a statfs. Let go, and wait for
// the answers to arrive, before it goes.
class HoldingDriveSystem : public DriveSystem {
public:
    explicit HoldingDriveSystem(DriveSystem& real) : real_(real) {}
    ~HoldingDriveSystem() override { letGo(); }

    void hold(const QString& root) {
        const std::lock_guard lock(mutex_);
        held_.insert(root);
    }
    void letGo() {
        {
            const std::lock_guard lock(mutex_);
            held_.clear();
        }
        released_.notify_all();
    }
    // How many questions are waiting on a held drive.
    int waiting() const {
        const std::lock_guard lock(mutex_);
        return waiting_;
    }

    std::vector<Mount> mounts() const override { return real_.mounts(); }
    QString mountTableFile() const override { return real_.mountTableFile(); }
    int driveType(const QString& root) const override {
        std::unique_lock lock(mutex_);
        ++waiting_;
        released_.wait(lock, [&] { return held_.count(root) == 0; });
        --waiting_;
        lock.unlock();
        return real_.driveType(root);
    }
    std::optional<DiskSpace> diskSpace(const QString& root) const override {
        return real_.diskSpace(root);
    }
    std::optional<qint32> volumeSerial(const QString& root) const override {
        return real_.volumeSerial(root);
    }
    QString volumeLabel(const QString& root) const override { return real_.volumeLabel(root); }
    bool setHidden(const QString& file) override { return real_.setHidden(file); }
    void eject(const QString& root) override { real_.eject(root); }

private:
    DriveSystem& real_;
    mutable std::mutex mutex_;
    mutable std::condition_variable released_;
    std::set<QString> held_;
    mutable int waiting_ = 0;
};

} // namespace kestro::test
