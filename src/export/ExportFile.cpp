#include "export/ExportFile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace kestro {

namespace {

// Writes go to the file in pieces of about this size.
constexpr size_t kBufferSize = size_t{1} << 18;

} // namespace

ExportFile::~ExportFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool ExportFile::fail() {
    failure_ = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

bool ExportFile::create() {
    fd_ = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                 0666);
    if (fd_ < 0)
        return fail();
    buffer_.reserve(kBufferSize);
    return true;
}

bool ExportFile::write(std::string_view bytes) {
    buffer_ += bytes;
    size_ += qint64(bytes.size());
    return buffer_.size() < kBufferSize || flush();
}

bool ExportFile::flush() {
    std::string_view rest = buffer_;
    while (!rest.empty()) {
        const ssize_t written = ::write(fd_, rest.data(), rest.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return fail();
        }
        rest.remove_prefix(size_t(written));
    }
    buffer_.clear();
    return true;
}

bool ExportFile::close() {
    if (fd_ < 0)
        return false;
    const bool flushed = flush();
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0 && flushed)
        return fail();
    return flushed;
}

} // namespace kestro
