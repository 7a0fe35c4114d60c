#include "cataloguing/DirectoryWalk.h"

#include "cataloguing/ListingFile.h"
#include "cataloguing/ListingText.h"
#include "cataloguing/LocalTimeFormatter.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <queue>
#include <sys/stat.h>
#include <system_error>
#include <thread>

namespace kestro {

namespace {

// Entries examined by one task: small enough that a huge folder is shared
// between threads, large enough that the hand-over costs nothing.
constexpr std::uint32_t kEntriesPerTask = 1024;

// File lines finished ahead of the listing may wait in memory up to this
// much; beyond it, threads that are ahead wait for the one behind.
constexpr std::size_t kMaxWaitingBytes = std::size_t{16} << 20;

constexpr qsizetype kMaxProblems = 10;
constexpr std::size_t kDirentBufferSize = std::size_t{64} << 10;

QString errorText(int errorNumber) {
    return QString::fromStdString(std::error_code(errorNumber, std::generic_category()).message());
}

// Takes `lock`, trying for a little while before falling asleep: the lock is
// held for a microsecond or two at a time, much less than it costs to be put
// to sleep and woken again.
void lockSoon(std::unique_lock<std::mutex>& lock) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (lock.try_lock())
            return;
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }
    lock.lock();
}

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

struct FolderEntries;

// A folder in the walk, with what the walk needs while it lists it.
struct Folder : WalkedFolder {
    std::string diskName; // as the file system gives it, to open the folder
    UniqueFd fd;          // open while entries remain to examine or subfolders to open
    std::uint32_t fdUsers = 0;
    bool linesReady = false; // every file line of its own is made (or it is not entered)
    std::unique_ptr<FolderEntries> entries;
};

// Position in listing order: the indexes of a folder's ancestors among their
// siblings, compared like words. Folder F has position P; the later runs of
// its entries come next (P,0,run), then its subfolder at entry index i
// (P,1+i) with everything below it. Each index is stored in one to five bytes
// so that comparing the bytes compares the index sequences; a position is
// short enough to need no memory of its own.
using Position = std::string;

void appendIndex(Position& position, std::uint32_t index) {
    const auto put = [&position](std::uint32_t byte) {
        position.push_back(static_cast<char>(static_cast<unsigned char>(byte)));
    };
    if (index < 0x80) {
        put(index);
    } else if (index < 0x4000) {
        put(0x80 | index >> 8);
        put(index & 0xFF);
    } else if (index < 0x200000) {
        put(0xC0 | index >> 16);
        put(index >> 8 & 0xFF);
        put(index & 0xFF);
    } else {
        put(0xE0);
        for (int shift = 24; shift >= 0; shift -= 8)
            put(index >> shift & 0xFF);
    }
}

// A folder's entries in name order and what the tasks made of them.
struct FolderEntries {
    Position position;
    std::string names;                 // NUL-terminated, as read
    std::vector<std::uint32_t> sorted; // offsets into `names`, in name order
    std::uint32_t tasksLeft = 0;
    std::vector<std::string> lines;                     // file lines, one block per task
    std::vector<std::vector<WalkedFolder*>> subfolders; // per task, in name order
};

// Reading a folder and examining its first run of entries (run 0), or
// examining a later run of a folder already read.
struct Task {
    Position position;
    Folder* folder;
    std::uint32_t run;
};

struct LaterInListing {
    bool operator()(const Task& a, const Task& b) const { return a.position > b.position; }
};

// What examining one run of entries found.
struct RunOutcome {
    std::string lines;
    std::vector<WalkedFolder*> subfolders;
    std::vector<Task> enter; // subfolders on the same file system
    std::uint64_t bytes = 0;
    std::uint64_t files = 0;
    std::uint64_t substitutedNames = 0;
    std::uint64_t unreadable = 0;
};

// What each thread keeps for itself.
struct Worker {
    std::deque<Folder> folders;            // storage of the folders this thread found
    std::vector<std::string> linesToWrite; // whose turn in the file listing has come
    LocalTimeFormatter clock;
    std::unique_ptr<char[]> direntBuffer = std::make_unique<char[]>(kDirentBufferSize);
};

} // namespace

struct DirectoryWalk::State {
    State(std::string rootName, ListingFile& listing, ListingCounters& progress,
          const std::atomic<bool>& cancelRequest)
        : fileListing(listing), counters(progress), cancel(cancelRequest) {
        root.path = std::move(rootName);
        root.nameStart = 0;
    }

    bool stopRequested() const {
        return cancel.load(std::memory_order_relaxed) || failed.load(std::memory_order_relaxed);
    }

    void work(Worker& worker);
    void unlockAndWriteLines(std::unique_lock<std::mutex>& lock, Worker& worker);
    bool mustWaitForListing() const;
    void perform(Task& task, Worker& worker, std::unique_lock<std::mutex>& lock);
    RunOutcome examine(Folder& folder, const FolderEntries& entries, int fd, std::uint32_t run,
                       Worker& worker);
    std::unique_ptr<FolderEntries> readEntries(Folder& folder, int fd, Worker& worker, int& error);
    void finishRun(Folder& folder, std::uint32_t run, RunOutcome outcome);
    void releaseFd(Folder& folder);
    void collectReadyLines(Worker& worker);
    void noteProblem(std::string_view parentPath, const char* diskName, int errorNumber);

    ListingFile& fileListing;
    ListingCounters& counters;
    const std::atomic<bool>& cancel;
    std::atomic<bool> failed{false};
    dev_t rootDevice = 0;
    Folder root;
    std::vector<std::unique_ptr<Worker>> workers;

    // Keeps lines written in the order they were collected.
    std::mutex listingMutex;

    // Everything below is guarded by `mutex`.
    std::mutex mutex;
    std::condition_variable wake;
    std::priority_queue<Task, std::vector<Task>, LaterInListing> tasks;
    unsigned busy = 0;
    unsigned idle = 0;
    std::size_t waitingBytes = 0;

    // Where the file listing has got to: the folders from the root down to
    // the one whose lines are written next.
    struct Visit {
        Folder* folder;
        std::size_t nextChild;
        bool linesWritten;
    };
    std::vector<Visit> listingCursor;

    int rootError = 0; // why the root could not be read

    mutable std::mutex problemsMutex;
    QStringList problems;
};

DirectoryWalk::DirectoryWalk(std::string rootName, ListingFile& fileListing,
                             ListingCounters& counters, const std::atomic<bool>& cancel)
    : state_(std::make_unique<State>(std::move(rootName), fileListing, counters, cancel)) {}

DirectoryWalk::~DirectoryWalk() = default;

const WalkedFolder& DirectoryWalk::root() const {
    return state_->root;
}

int DirectoryWalk::rootError() const {
    return state_->rootError;
}

QStringList DirectoryWalk::problems() const {
    const std::lock_guard lock(state_->problemsMutex);
    return state_->problems;
}

bool DirectoryWalk::run(UniqueFd root, dev_t rootDevice, unsigned threads) {
    State& state = *state_;
    state.rootDevice = rootDevice;
    state.root.fd = std::move(root);
    state.tasks.push(Task{{}, &state.root, 0});
    state.listingCursor.push_back({&state.root, 0, false});

    threads = std::max(threads, 1u);
    for (unsigned i = 0; i < threads; ++i)
        state.workers.push_back(std::make_unique<Worker>());
    std::vector<std::thread> helpers;
    for (unsigned i = 1; i < threads; ++i) {
        try {
            helpers.emplace_back([&state, i] { state.work(*state.workers[i]); });
        } catch (const std::system_error&) {
            break; // no more threads to be had: the ones running do the work
        }
    }
    state.work(*state.workers[0]);
    for (std::thread& helper : helpers)
        helper.join();
    return !state.stopRequested() && state.listingCursor.empty();
}

void DirectoryWalk::State::work(Worker& worker) {
    std::unique_lock lock(mutex);
    while (!stopRequested() && !(tasks.empty() && busy == 0)) {
        if (tasks.empty() || mustWaitForListing()) {
            if (!worker.linesToWrite.empty()) { // before sleeping, as they hold up later lines
                unlockAndWriteLines(lock, worker);
                lockSoon(lock);
                continue;
            }
            ++idle;
            wake.wait(lock);
            --idle;
            continue;
        }
        Task task = std::move(const_cast<Task&>(tasks.top()));
        tasks.pop();
        ++busy;
        perform(task, worker, lock);
        --busy;
        collectReadyLines(worker);
        if (idle > 0)
            wake.notify_all();
    }
    unlockAndWriteLines(lock, worker);
    // Whoever sees the end first tells the others.
    wake.notify_all();
}

// Lets go of the lock, then writes the lines collected while holding it.
// The listing lock is taken first, so lines collected later by another
// thread cannot overtake them.
void DirectoryWalk::State::unlockAndWriteLines(std::unique_lock<std::mutex>& lock, Worker& worker) {
    if (worker.linesToWrite.empty()) {
        lock.unlock();
        return;
    }
    const std::lock_guard listingLock(listingMutex);
    lock.unlock();
    for (const std::string& block : worker.linesToWrite)
        fileListing.append(block);
    worker.linesToWrite.clear();
    if (fileListing.failed())
        failed = true;
}

// Lines finished far ahead wait in memory; when too much waits, only the
// task the listing waits for may start.
bool DirectoryWalk::State::mustWaitForListing() const {
    return waitingBytes > kMaxWaitingBytes && !listingCursor.empty() &&
           tasks.top().folder != listingCursor.back().folder;
}

// Runs `task` without the lock held, then records what it found.
void DirectoryWalk::State::perform(Task& task, Worker& worker, std::unique_lock<std::mutex>& lock) {
    Folder& folder = *task.folder;
    if (task.run > 0) {
        const int fd = folder.fd.get();
        unlockAndWriteLines(lock, worker);
        RunOutcome outcome = examine(folder, *folder.entries, fd, task.run, worker);
        lockSoon(lock);
        if (!stopRequested())
            finishRun(folder, task.run, std::move(outcome));
        return;
    }

    UniqueFd fd;
    if (folder.parent == nullptr) {
        fd = std::move(folder.fd);
    }
    const int parentFd = folder.parent ? static_cast<Folder*>(folder.parent)->fd.get() : -1;
    unlockAndWriteLines(lock, worker);
    if (folder.parent != nullptr) {
        fd = UniqueFd(::openat(parentFd, folder.diskName.c_str(),
                               O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!fd.isOpen()) {
            noteProblem(folder.path, nullptr, errno);
            counters.unreadable.fetch_add(1, std::memory_order_relaxed);
        }
    }
    std::unique_ptr<FolderEntries> entries;
    RunOutcome firstRun;
    int readError = 0;
    if (fd.isOpen()) {
        entries = readEntries(folder, fd.get(), worker, readError);
        if (entries)
            entries->position = std::move(task.position);
        if (entries && entries->tasksLeft > 0)
            firstRun = examine(folder, *entries, fd.get(), 0, worker);
    }
    lockSoon(lock);
    if (folder.parent != nullptr) {
        releaseFd(*static_cast<Folder*>(folder.parent));
        std::string().swap(folder.diskName);
    }
    if (stopRequested())
        return;
    if (!entries && folder.parent == nullptr) {
        rootError = readError; // an empty listing would pass for an empty volume
        failed = true;
        return;
    }
    if (!entries) {
        folder.linesReady = true; // listed without contents
        return;
    }
    folder.fd = std::move(fd);
    folder.fdUsers = entries->tasksLeft;
    for (std::uint32_t run = 1; run < entries->tasksLeft; ++run) {
        Position position = entries->position;
        appendIndex(position, 0);
        appendIndex(position, run);
        tasks.push(Task{std::move(position), &folder, run});
    }
    folder.entries = std::move(entries);
    if (folder.entries->tasksLeft == 0) {
        folder.linesReady = true;
        folder.fd.reset();
        return;
    }
    finishRun(folder, 0, std::move(firstRun));
}

// Reads the names in the folder open as `fd` and sorts them; nothing when
// the folder cannot be read (`error` then tells why) or the walk stops.
std::unique_ptr<FolderEntries> DirectoryWalk::State::readEntries(Folder& folder, int fd,
                                                                 Worker& worker, int& error) {
    auto entries = std::make_unique<FolderEntries>();
    char* buffer = worker.direntBuffer.get();
    for (;;) {
        const ssize_t length = ::getdents64(fd, buffer, kDirentBufferSize);
        if (length == 0)
            break;
        if (length < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            noteProblem(folder.path, nullptr, error);
            counters.unreadable.fetch_add(1, std::memory_order_relaxed);
            return nullptr;
        }
        for (ssize_t offset = 0; offset < length;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + offset);
            offset += entry->d_reclen;
            if (isDotOrDotDot(entry->d_name))
                continue;
            entries->sorted.push_back(static_cast<std::uint32_t>(entries->names.size()));
            entries->names.append(entry->d_name, std::strlen(entry->d_name) + 1);
        }
        if (stopRequested())
            return nullptr;
    }
    const char* names = entries->names.data();
    std::sort(entries->sorted.begin(), entries->sorted.end(),
              [names](std::uint32_t a, std::uint32_t b) {
                  return std::strcmp(names + a, names + b) < 0; // byte order
              });
    const auto count = static_cast<std::uint32_t>(entries->sorted.size());
    entries->tasksLeft = (count + kEntriesPerTask - 1) / kEntriesPerTask;
    entries->lines.resize(entries->tasksLeft);
    entries->subfolders.resize(entries->tasksLeft);
    return entries;
}

RunOutcome DirectoryWalk::State::examine(Folder& folder, const FolderEntries& entries, int fd,
                                         std::uint32_t run, Worker& worker) {
    RunOutcome outcome;
    const std::size_t begin = std::size_t{run} * kEntriesPerTask;
    const std::size_t end = std::min(begin + kEntriesPerTask, entries.sorted.size());
    outcome.lines.reserve((end - begin) * (folder.path.size() + 64));
    for (std::size_t i = begin; i < end && !stopRequested(); ++i) {
        const char* name = entries.names.data() + entries.sorted[i];
        struct stat status;
        if (::fstatat(fd, name, &status, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) != 0) {
            noteProblem(folder.path, name, errno);
            ++outcome.unreadable;
            continue;
        }
        if (S_ISDIR(status.st_mode)) {
            Folder& subfolder = worker.folders.emplace_back();
            subfolder.parent = &folder;
            subfolder.modified = status.st_mtim.tv_sec;
            subfolder.path.reserve(folder.path.size() + 1 + std::strlen(name));
            subfolder.path = folder.path;
            subfolder.path.push_back('\\');
            subfolder.nameStart = static_cast<std::uint32_t>(subfolder.path.size());
            outcome.substitutedNames += appendListingName(subfolder.path, name);
            outcome.subfolders.push_back(&subfolder);
            if (status.st_dev == rootDevice) {
                subfolder.diskName = name;
                Position position = entries.position;
                appendIndex(position, static_cast<std::uint32_t>(i + 1));
                outcome.enter.push_back(Task{std::move(position), &subfolder, 0});
            } else {
                subfolder.linesReady = true; // a mount point: listed, not entered
            }
            continue;
        }
        const auto bytes = static_cast<std::uint64_t>(std::max<off_t>(status.st_size, 0));
        outcome.lines.append(folder.path);
        outcome.lines.push_back(kListingSeparator);
        outcome.substitutedNames += appendListingName(outcome.lines, name);
        appendListingTail(outcome.lines, bytes, status.st_mtim.tv_sec, worker.clock);
        outcome.bytes += bytes;
        ++outcome.files;
    }
    return outcome;
}

void DirectoryWalk::State::finishRun(Folder& folder, std::uint32_t run, RunOutcome outcome) {
    FolderEntries& entries = *folder.entries;
    waitingBytes += outcome.lines.size();
    entries.lines[run] = std::move(outcome.lines);
    folder.bytes += outcome.bytes;
    counters.folders.fetch_add(outcome.subfolders.size(), std::memory_order_relaxed);
    counters.files.fetch_add(outcome.files, std::memory_order_relaxed);
    counters.substitutedNames.fetch_add(outcome.substitutedNames, std::memory_order_relaxed);
    counters.unreadable.fetch_add(outcome.unreadable, std::memory_order_relaxed);
    entries.subfolders[run] = std::move(outcome.subfolders);
    folder.fdUsers += static_cast<std::uint32_t>(outcome.enter.size());
    for (Task& task : outcome.enter)
        tasks.push(std::move(task));
    releaseFd(folder);

    if (--entries.tasksLeft > 0)
        return;
    for (const auto& subfolders : entries.subfolders)
        folder.children.insert(folder.children.end(), subfolders.begin(), subfolders.end());
    folder.linesReady = true;
    // The names are no longer needed; the lines wait for their turn.
    std::string().swap(entries.names);
    std::vector<std::uint32_t>().swap(entries.sorted);
    std::vector<std::vector<WalkedFolder*>>().swap(entries.subfolders);
}

// One user of the folder's descriptor (a run of entries, or a subfolder to
// open through it) is done; the last one closes it.
void DirectoryWalk::State::releaseFd(Folder& folder) {
    if (--folder.fdUsers == 0)
        folder.fd.reset();
}

// Takes the file lines of every folder whose turn has come, to be written
// once the lock is let go, and adds up folder totals as their subtrees are
// completed.
void DirectoryWalk::State::collectReadyLines(Worker& worker) {
    while (!listingCursor.empty()) {
        Visit& visit = listingCursor.back();
        Folder& folder = *visit.folder;
        if (!visit.linesWritten) {
            if (!folder.linesReady)
                break;
            if (folder.entries) {
                for (std::string& block : folder.entries->lines) {
                    waitingBytes -= block.size();
                    worker.linesToWrite.push_back(std::move(block));
                }
                folder.entries.reset();
            }
            visit.linesWritten = true;
        }
        if (visit.nextChild < folder.children.size()) {
            auto* child = static_cast<Folder*>(folder.children[visit.nextChild++]);
            listingCursor.push_back({child, 0, false});
            continue;
        }
        if (folder.parent != nullptr)
            folder.parent->bytes += folder.bytes;
        listingCursor.pop_back();
    }
}

void DirectoryWalk::State::noteProblem(std::string_view parentPath, const char* diskName,
                                       int errorNumber) {
    const std::lock_guard lock(problemsMutex);
    if (problems.size() >= kMaxProblems)
        return;
    std::string path(parentPath);
    if (diskName != nullptr) {
        path.push_back('\\');
        appendListingName(path, diskName);
    }
    problems.append(QString::fromStdString(path) + QStringLiteral(": ") + errorText(errorNumber));
}

} // namespace kestro
