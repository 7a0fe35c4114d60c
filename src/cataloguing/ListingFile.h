#pragma once

#include <QString>
#include <memory>
#include <string_view>

namespace kestro {

// A listing file being written: output is gathered in a large buffer and
// written in big blocks. Every write and the close are checked; the first
// failure (a full disk, a medium gone) is kept as a message and every later
// append is ignored, so the caller checks once at the end.
class ListingFile {
public:
    ListingFile() = default;
    ~ListingFile();
    ListingFile(const ListingFile&) = delete;
    ListingFile& operator=(const ListingFile&) = delete;

    // Creates (or empties) the file at `path`; false with error() set when it
    // cannot be created.
    bool create(const QString& path);

    void append(std::string_view bytes);

    // Writes what is buffered and closes the file; false with error() set
    // when anything failed since create().
    bool close();

    // Closes the file if open and deletes it: nothing half-written remains.
    void remove();

    bool failed() const { return !error_.isEmpty(); }
    const QString& error() const { return error_; }
    const QString& path() const { return path_; }

private:
    void flushBuffer();
    void writeOut(std::string_view bytes);
    void fail(int errorNumber);

    // Large enough for big writes, small enough that an import reading the
    // listing as it grows follows closely.
    static constexpr std::size_t kBufferSize = 256 << 10;

    QString path_;
    int fd_ = -1;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    QString error_;
};

} // namespace kestro
