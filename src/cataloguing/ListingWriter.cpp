#include "cataloguing/ListingWriter.h"

#include "cataloguing/DirectoryWalk.h"
#include "cataloguing/ListingFile.h"
#include "cataloguing/ListingText.h"
#include "cataloguing/LocalTimeFormatter.h"
#include "cataloguing/UniqueFd.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>

namespace kestro {

namespace {

unsigned automaticThreads() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

QString cannotReadRoot(const QString& root, int errorNumber) {
    return QStringLiteral("Cannot read the folder \"%1\": %2")
        .arg(root, QString::fromStdString(
                       std::error_code(errorNumber, std::generic_category()).message()));
}

// The folder listing: the root line, then every folder in pre-order.
void writeFolderListing(const WalkedFolder& root, ListingFile& listing) {
    LocalTimeFormatter clock;
    std::string line = root.path;
    line.push_back(kListingSeparator);
    appendListingSize(line, root.bytes);
    line.append(kListingLineEnd);
    listing.append(line);

    std::vector<const WalkedFolder*> pending(root.children.rbegin(), root.children.rend());
    while (!pending.empty()) {
        const WalkedFolder* folder = pending.back();
        pending.pop_back();
        line.assign(folder->parent->path);
        line.push_back(kListingSeparator);
        line.append(folder->listedName());
        appendListingTail(line, folder->bytes, folder->modified, clock);
        listing.append(line);
        pending.insert(pending.end(), folder->children.rbegin(), folder->children.rend());
    }
}

} // namespace

ListingWriter::ListingWriter(ListingRequest request, unsigned threads)
    : request_(std::move(request)), threads_(threads > 0 ? threads : automaticThreads()) {
    try {
        thread_ = std::thread([this] {
            result_ = run();
            finished_.store(true);
        });
    } catch (const std::system_error& error) {
        result_.error = QStringLiteral("Cannot start the folder walk: %1")
                            .arg(QString::fromStdString(error.code().message()));
        finished_.store(true);
    }
}

ListingWriter::~ListingWriter() {
    cancel();
    if (thread_.joinable())
        thread_.join();
}

ListingResult ListingWriter::wait() {
    if (thread_.joinable())
        thread_.join();
    return result_;
}

ListingResult ListingWriter::run() {
    ListingResult result;
    tzset(); // dates follow the time zone in force now

    UniqueFd root(
        ::open(QFile::encodeName(request_.root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat rootStatus;
    if (!root.isOpen() || ::fstat(root.get(), &rootStatus) != 0) {
        result.error = cannotReadRoot(request_.root, errno);
        return result;
    }

    ListingFile files;
    ListingFile folders;
    if (!files.create(request_.fileListing)) {
        result.error = files.error();
        return result;
    }
    if (!folders.create(request_.folderListing)) {
        files.remove();
        result.error = folders.error();
        return result;
    }

    DirectoryWalk walk(request_.rootName.toStdString(), files, counters_, cancel_);
    const bool walked = walk.run(std::move(root), rootStatus.st_dev, threads_);
    if (walked)
        writeFolderListing(walk.root(), folders);
    const bool written = walked && files.close() && folders.close();

    result.folders = counters_.folders.load();
    result.files = counters_.files.load();
    result.unreadable = counters_.unreadable.load();
    result.substitutedNames = counters_.substitutedNames.load();
    result.totalBytes = walk.root().bytes;
    result.problems = walk.problems();
    if (!written) {
        if (files.failed())
            result.error = files.error();
        else if (folders.failed())
            result.error = folders.error();
        else if (walk.rootError() != 0)
            result.error = cannotReadRoot(request_.root, walk.rootError());
        result.cancelled = result.error.isEmpty();
        files.remove();
        folders.remove();
    }
    return result;
}

} // namespace kestro
