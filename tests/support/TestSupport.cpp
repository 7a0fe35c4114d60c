#include "support/TestSupport.h"

#include <QFile>
#include <stdexcept>

namespace kestro::test {

QString templatePath() {
    const QString path = qEnvironmentVariable("KESTRO_TEMPLATE");
    if (path.isEmpty())
        throw std::runtime_error("KESTRO_TEMPLATE is not set; run the tests through ctest");
    return path;
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

} // namespace kestro::test
