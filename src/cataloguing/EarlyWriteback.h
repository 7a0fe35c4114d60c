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
