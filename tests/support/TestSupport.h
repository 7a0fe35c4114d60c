#pragma once

#include <QByteArray>
#include <QString>

namespace kestro::test {

// The catalog template the build made (bin/new.kst).
QString templatePath();

// Copies the template to `path`; returns `path`.
QString makeCatalogFile(const QString& path);

// Reads and writes whole files, for building and checking fixtures.
QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& bytes);

} // namespace kestro::test
