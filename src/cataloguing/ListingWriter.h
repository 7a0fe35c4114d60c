#pragma once

#include "cataloguing/ListingCounters.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <thread>

namespace kestro {

// What to walk and where the two listings go.
struct ListingRequest {
    QString root;          // the folder to walk (a mount point or any folder)
    QString rootName;      // how the listings name it: a drive letter and colon, "D:"
    QString fileListing;   // the file listing to write, e.g. program folder/files.txt
    QString folderListing; // the folder listing to write, e.g. program folder/dirs.txt
};

struct ListingResult {
    std::uint64_t folders = 0;          // folder lines below the root line
    std::uint64_t files = 0;            // file lines
    std::uint64_t unreadable = 0;       // items that could not be read
    std::uint64_t substitutedNames = 0; // names written with visible substitutes
    std::uint64_t totalBytes = 0;       // size of every file listed
    bool cancelled = false;
    QString error;        // why no listings were written; empty otherwise
    QStringList problems; // the first few unreadable items, "D:\PRIVATE: Permission denied"

    bool succeeded() const { return !cancelled && error.isEmpty(); }
};

// Walks a folder into the two listing files the import reads, on threads of
// its own, so the caller stays responsive and can show the counters.
//
// The folder listing starts with the root line (root name, total size of
// every file below); then one line per folder at any depth: parent path,
// name, size of everything below it, date. The file listing has one line per
// file: parent path, name, size, date. Parent paths are the root name and the
// folder names joined by "\" ("D:\GAMES"). Folders come in pre-order, each
// folder's entries sorted by name, and the file lines in the same folder
// order, so a tree always gives the same listings. The walk stays on the
// root's file system, never follows symbolic links and lists hidden entries
// (DirectoryWalk tells how each kind of entry is listed).
//
// Both listings are complete when wait() reports success. When the walk is
// cancelled or fails (the root cannot be opened, a listing cannot be
// written), neither listing file is left behind.
class ListingWriter {
public:
    // Starts the walk on `threads` threads; 0 takes one per processor core,
    // at most four. Pass 1 for optical discs and floppies, whose heads would
    // otherwise be sent back and forth between folders read side by side.
    explicit ListingWriter(ListingRequest request, unsigned threads = 0);

    // Cancels a walk still running and waits for it to stop.
    ~ListingWriter();

    ListingWriter(const ListingWriter&) = delete;
    ListingWriter& operator=(const ListingWriter&) = delete;

    // How far the walk has got; readable at any time from any thread.
    const ListingCounters& counters() const { return counters_; }

    // Asks the walk to stop soon; wait() then reports it cancelled.
    void cancel() { cancel_.store(true); }

    bool isFinished() const { return finished_.load(); }

    // Blocks until the walk has ended; may be called more than once, from the
    // thread that made the writer.
    ListingResult wait();

private:
    ListingResult run();

    const ListingRequest request_;
    const unsigned threads_;
    ListingCounters counters_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> finished_{false};
    ListingResult result_;
    std::thread thread_;
};

} // namespace kestro
