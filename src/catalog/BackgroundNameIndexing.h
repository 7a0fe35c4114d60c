#pragma once

#include <QString>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace kestro {

class HostedCanceller;

// Indexes the names of a hosted catalog's volume tables that have none, as
// IndexAllHostedNames does, on a connection and in a thread of its own: the
// window in which a volume was just catalogued goes on while the server
// builds its index. Searches read a table not yet indexed; writers to it
// wait. A failure leaves the tables as they are, for the next start or
// Compact to index.
class BackgroundNameIndexing {
public:
    BackgroundNameIndexing();
    // Stops the index being built, which the server then drops, and waits
    // for the thread.
    ~BackgroundNameIndexing();
    BackgroundNameIndexing(const BackgroundNameIndexing&) = delete;
    BackgroundNameIndexing& operator=(const BackgroundNameIndexing&) = delete;

    // Starts indexing the hosted catalog at `location`; nothing for a file.
    // While it is indexing that catalog already, it looks again once done,
    // for tables catalogued meanwhile; another catalog's indexing is stopped
    // first.
    void start(const QString& location);
    // True until every table that needed it at the last start is indexed,
    // or indexing has failed.
    bool busy() const;

private:
    void indexUntilDone(const QString& location);
    void stop();

    mutable std::mutex mutex_;
    std::condition_variable idle_;
    bool busy_ = false;
    bool again_ = false;
    QString location_;
    std::unique_ptr<HostedCanceller> canceller_;
    std::thread thread_;
};

} // namespace kestro
