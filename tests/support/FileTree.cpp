#include "support/FileTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>

namespace kestro::test {

void makeFile(const QString& root, const QString& relative, qint64 size,
              const QDateTime& modified) {
    const QString path = QDir(root).filePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(size))
        throw std::runtime_error("cannot make " + path.toStdString());
    file.close();
    if (modified.isValid())
        setModified(path, modified);
}

void setModified(const QString& path, const QDateTime& modified) {
    const timespec times[2] = {{0, UTIME_OMIT}, {time_t(modified.toSecsSinceEpoch()), 0}};
    if (::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) != 0)
        throw std::runtime_error("cannot set the time of " + path.toStdString());
}

} // namespace kestro::test
