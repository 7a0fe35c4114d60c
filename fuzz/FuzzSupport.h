#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

// What the fuzz targets share: stopping loudly when a property breaks, and a
// scratch folder for the files a target has to write.

namespace kestro::fuzz {

[[noreturn]] inline void propertyBroken(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, what);
    std::abort();
}

inline QByteArray bytesOf(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// The bytes before the first `separator` and those after it; all of `bytes`
// and nothing when there is no separator.
inline std::pair<QByteArray, QByteArray> splitAtFirst(const QByteArray& bytes, char separator) {
    const qsizetype at = bytes.indexOf(separator);
    if (at < 0)
        return {bytes, QByteArray()};
    return {bytes.left(at), bytes.mid(at + 1)};
}

// A folder of this run's own, in memory where the machine has /dev/shm; it
// goes when the run ends.
inline QString scratchFolder() {
    static QTemporaryDir dir(QFile::exists(QStringLiteral("/dev/shm"))
                                 ? QStringLiteral("/dev/shm/kestro-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kestro-fuzz-XXXXXX"));
    if (!dir.isValid())
        propertyBroken("a scratch folder can be made", __FILE__, __LINE__);
    return dir.path();
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        propertyBroken("the scratch file can be written", __FILE__, __LINE__);
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        propertyBroken("the scratch file can be read", __FILE__, __LINE__);
    return file.readAll();
}

} // namespace kestro::fuzz

// Ends the run when `condition` does not hold; libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? void(0) : ::kestro::fuzz::propertyBroken(#condition, __FILE__, __LINE__))
