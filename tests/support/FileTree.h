#pragma once

#include <QDateTime>
#include <QString>

namespace kestro::test {

// Makes the file `relative` under `root` (and the folders above it), `size`
// bytes long, last modified at the local time `modified` when it is valid.
void makeFile(const QString& root, const QString& relative, qint64 size,
              const QDateTime& modified = {});

// Sets the last-modified time of a file or folder (after its contents are made,
// which touch it).
void setModified(const QString& path, const QDateTime& modified);

} // namespace kestro::test
