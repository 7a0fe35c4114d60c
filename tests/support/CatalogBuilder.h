#pragma once

#include <QChar>
#include <QString>

namespace kestro::test {

// Catalogs the real folder `folder` into the catalog at `catalogPath` through
// the real cataloguing code: the folder is mapped to drive `letter` in the
// program folder's Kestro.ini and that drive is catalogued, a new volume
// getting `volumeName`. Returns the volume's identifier (its tablename).
// Throws std::runtime_error, with the messages the run showed, when the
// volume was not catalogued.
QString catalogFolder(const QString& programFolder, const QString& catalogPath,
                      const QString& folder, const QString& volumeName, QChar letter = QChar('X'),
                      bool clearDescriptions = false);

} // namespace kestro::test
