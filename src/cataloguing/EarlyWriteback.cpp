#include "cataloguing/EarlyWriteback.h"

#include <QFile>
#include <chrono>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace kestro {

namespace {

constexpr std::chrono::milliseconds kInterval{250};

} // namespace

EarlyWriteback::EarlyWriteback(const QString& path)
    : fd_(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC)) {
    if (fd_ < 0)
        return; // the run goes on; its commit writes everything
    try {
        thread_ = std::thread([this] {
            std::unique_lock lock(mutex_);
            while (!stop_.wait_for(lock, kInterval, [this] { return stopping_; }))
                // Only starts the writing; a file system that cannot says so,
                // and is left to the commit.
                ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
        });
    } catch (const std::system_error&) {
        // no thread to be had: the commit writes everything
    }
}

EarlyWriteback::~EarlyWriteback() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stop_.notify_all();
    if (thread_.joinable())
        thread_.join();
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace kestro
