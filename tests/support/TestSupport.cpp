#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <stdexcept>
#include <sys/statvfs.h>

namespace kestro::test {

QString templatePath() {
    return QStringLiteral(KESTRO_TEMPLATE_PATH);
}

QString testDataPath(const QString& name) {
    return QStringLiteral(KESTRO_TEST_DATA_DIR "/") + name;
}

QString makeCatalogFile(const QString& path) {
    QFile::remove(path);
    if (!QFile::copy(templatePath(), path))
        throw std::runtime_error("cannot copy the catalog template to " + path.toStdString());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    return path;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

ProgramRun runProgram(const QString& program, const QStringList& arguments,
                      const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(120000);
    return {finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

SmallDisk::SmallDisk(qint64 bytes) : mount_(dir_.path(), "size=" + QByteArray::number(bytes)) {}

void SmallDisk::fill(qint64 keepBytes) {
    struct statvfs st {};
    if (::statvfs(path().toUtf8().constData(), &st) != 0)
        throw std::runtime_error("cannot measure the small disk");
    const qint64 available = qint64(st.f_bavail) * qint64(st.f_frsize);
    QFile filler(filePath(".filler"));
    if (!filler.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot fill the small disk");
    const QByteArray block(4096, 'f');
    for (qint64 written = 0; written + block.size() <= available - keepBytes;
         written += block.size())
        if (filler.write(block) != block.size())
            break;
    filler.flush();
}

} // namespace kestro::test
