#pragma once

#include <QString>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace kestro {

// Has the system write a file's changed pages to its disk every quarter of
// a second, on a thread of its own, for as long as it lives. A cataloguing
// run hands its catalog hundreds of megabytes before it commits; written
// along the way, they no longer hold up the commit, whose sync would
// otherwise start writing them all only then. It changes nothing the file
// holds: a run that fails still leaves the catalog as it was.
//
// It reads the file through a descriptor of its own, closed when it is
// destroyed. Closing any descriptor of a file drops every POSIX lock the
// process holds on it, SQLite's included: destroy it only once the catalog's
// transaction has ended (make it before the transaction).
class EarlyWriteback {
public:
    explicit EarlyWriteback(const QString& path);
    ~EarlyWriteback();
    EarlyWriteback(const EarlyWriteback&) = delete;
    EarlyWriteback& operator=(const EarlyWriteback&) = delete;

private:
    int fd_ = -1;
    std::mutex mutex_;
    std::condition_variable stop_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace kestro
