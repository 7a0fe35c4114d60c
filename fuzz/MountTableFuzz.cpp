// The mount table as the kernel lists it: every mount kept is a folder a
// user might catalog, named by an absolute path, each folder once, and any
// name the kernel writes with its octal escapes reads back as it was.
//
// Input: the text of /proc/self/mountinfo.

#include "FuzzSupport.h"
#include "platform/MountTable.h"

#include <QDir>
#include <QSet>

using namespace kestro;
using namespace kestro::fuzz;

namespace {

// How the kernel writes a name in its mount table: space, tab, line feed and
// backslash as "\" and three octal digits.
QByteArray kernelEscaped(const QByteArray& name) {
    QByteArray out;
    for (const char c : name) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\')
            out +=
                '\\' + QByteArray::number(static_cast<unsigned char>(c), 8).rightJustified(3, '0');
        else
            out += c;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray table = bytesOf(data, size);
    QSet<QString> folders;
    for (const Mount& mount : ParseMountInfo(table)) {
        FUZZ_CHECK(QDir::cleanPath(mount.mountPoint) == mount.mountPoint &&
                   mount.mountPoint.startsWith(QLatin1Char('/')));
        FUZZ_CHECK(!mount.mountPoint.contains(QChar(0)));
        FUZZ_CHECK(!folders.contains(mount.mountPoint));
        folders.insert(mount.mountPoint);
        for (const char* system : {"/proc", "/sys", "/dev"})
            FUZZ_CHECK(mount.mountPoint != QLatin1String(system) &&
                       !mount.mountPoint.startsWith(QLatin1String(system) + QLatin1Char('/')));
        FUZZ_CHECK(mount.fileSystemType != QLatin1String("proc") &&
                   mount.fileSystemType != QLatin1String("sysfs"));
    }
    FUZZ_CHECK(UnescapeOctal(kernelEscaped(table)) == table);
    return 0;
}
