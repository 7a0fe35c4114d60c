#pragma once

#include "cataloguing/ListingCounters.h"
#include "cataloguing/UniqueFd.h"

#include <QStringList>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace kestro {

class ListingFile;

// A folder the walk listed, kept for the folder listing, which needs every
// folder's total and so is written after the walk.
struct WalkedFolder {
    WalkedFolder* parent = nullptr;
    std::string path;                    // as listed: "D:\GAMES\DOOM"; the root's is its name, "D:"
    std::uint32_t nameStart = 0;         // where the listed name begins in `path`
    std::int64_t modified = 0;           // seconds since the epoch
    std::uint64_t bytes = 0;             // once walked: the size of every file below, at any depth
    std::vector<WalkedFolder*> children; // in name order

    std::string_view listedName() const { return std::string_view(path).substr(nameStart); }
};

// Walks a folder tree into the file listing, on several threads at once, and
// keeps the folders for the folder listing.
//
// Every folder's entries are read and sorted by name (byte order), then each
// entry is examined with fstatat relative to the folder's descriptor,
// without following symbolic links. Folders are visited in pre-order, and the
// file lines of each folder are written to the listing as one group, in that
// order, however the work was shared between threads: the work is cut into
// tasks (reading a folder, examining a run of at most 1024 of its entries),
// each thread takes the earliest pending task in listing order, and a
// completed group waits in memory until the groups before it are written
// (16 MB at most; beyond that the threads ahead wait for the one behind).
//
// What is listed how:
// - a folder on another file system (a mount point) is listed as a folder of
//   size 0 and not entered;
// - a symbolic link is listed as a file with the size and date of the link
//   itself (the length of the path it holds) and never followed;
// - fifos, sockets and devices are listed as files with the size the file
//   system gives them (0);
// - hidden entries are listed like any other; automount points are not
//   triggered;
// - a name that would break a line, a field or a path is written with
//   visible substitutes (appendListingName) and counted;
// - a folder that cannot be opened or read is listed without contents, an
//   entry that cannot be examined (gone since its folder was read, an I/O
//   error) is left out; both are counted as unreadable and the walk goes on.
class DirectoryWalk {
public:
    // `rootName` is the root's listed path ("D:"). File lines go to
    // `fileListing`; progress to `counters`; `cancel` stops the walk.
    DirectoryWalk(std::string rootName, ListingFile& fileListing, ListingCounters& counters,
                  const std::atomic<bool>& cancel);
    ~DirectoryWalk();
    DirectoryWalk(const DirectoryWalk&) = delete;
    DirectoryWalk& operator=(const DirectoryWalk&) = delete;

    // Walks the folder open as `root` on `threads` threads, the caller's
    // included, never leaving the file system `rootDevice`. Returns false
    // when the walk was cancelled, the file listing could not be written or
    // the root itself could not be read.
    bool run(UniqueFd root, dev_t rootDevice, unsigned threads);

    // Why the root could not be read (an errno value), 0 when it could.
    int rootError() const;

    // The root folder with everything found below it, complete after a
    // successful run.
    const WalkedFolder& root() const;

    // The first few items that could not be read, with the reason:
    // "D:\PRIVATE: Permission denied".
    QStringList problems() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace kestro
