#include "cataloguing/ListingFile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace kestro {

ListingFile::~ListingFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool ListingFile::create(const QString& path) {
    path_ = path;
    error_.clear();
    used_ = 0;
    fd_ =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        fail(errno);
        return false;
    }
    if (!buffer_)
        buffer_ = std::make_unique<char[]>(kBufferSize);
    return true;
}

void ListingFile::append(std::string_view bytes) {
    if (failed())
        return;
    if (bytes.size() > kBufferSize - used_) {
        flushBuffer();
        if (bytes.size() >= kBufferSize) {
            writeOut(bytes);
            return;
        }
    }
    std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
}

bool ListingFile::close() {
    if (fd_ < 0)
        return !failed();
    flushBuffer();
    // close() reports what a network file system defers until then.
    if (::close(fd_) != 0 && !failed())
        fail(errno);
    fd_ = -1;
    return !failed();
}

void ListingFile::remove() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!path_.isEmpty())
        ::unlink(QFile::encodeName(path_).constData());
}

void ListingFile::flushBuffer() {
    writeOut({buffer_.get(), used_});
    used_ = 0;
}

void ListingFile::writeOut(std::string_view bytes) {
    while (!bytes.empty() && !failed()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            fail(written < 0 ? errno : ENOSPC);
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void ListingFile::fail(int errorNumber) {
    error_ = QStringLiteral("Cannot write the listing file \"%1\": %2")
                 .arg(path_, QString::fromStdString(
                                 std::error_code(errorNumber, std::generic_category()).message()));
}

} // namespace kestro
