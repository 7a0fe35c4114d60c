#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace kestro {

// One export file, written through a buffer. Every write and the close are
// checked: a full disk or a failing medium shows as false, with the system's
// reason in failure().
class ExportFile {
public:
    explicit ExportFile(QString path) : path_(std::move(path)) {}
    ~ExportFile();
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    const QString& path() const { return path_; }
    QString failure() const { return failure_; }

    // Creates the file, replacing one of that name.
    bool create();
    bool write(std::string_view bytes);
    // Writes what the buffer holds and closes the file.
    bool close();
    // Bytes handed to write() so far.
    qint64 size() const { return size_; }

private:
    bool flush();
    bool fail();

    QString path_;
    int fd_ = -1;
    std::string buffer_;
    qint64 size_ = 0;
    QString failure_;
};

} // namespace kestro
