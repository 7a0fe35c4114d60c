#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

namespace kestro {

// A volume's figures from its `index` row, read once per tree load so that
// showing the catalog root or a category needs no query.
struct VolumeSummary {
    double capacity = 0;
    double free = 0;
    double used = 0;
    QString cataloged; // the catalog moment as stored
    QString description;
    qint64 dirs = 0;
    qint64 files = 0;
    QString changesReported; // the moment of its last change report; empty without one
};

// The eight texts a volume row shows after its name, in the order of the
// volume columns: Capacity, Free, Used, Cataloged, Description, Directories,
// Files, Changes reported. Sizes are right-aligned size texts, free and used
// by the zero-kilobyte rule, counts right-aligned in 15 characters; the date
// of the last change report is empty for a volume without one.
std::array<QString, 8> VolumeFigureTexts(const VolumeSummary& summary, bool europeanDates);

// The status line for a selected volume:
// " FLOPPY -- Capacity: 1,424KB - 1KB free - 1,423KB used -- Cataloged on
// 3/5/1998 2:07:22 PM -- 3 dirs, 12 files" (one line; figures trimmed),
// followed by " -- Changes reported on 4/1/1998 9:00:00 AM" once the volume
// has been catalogued again.
QString VolumeStatusText(const QString& nodeText, const VolumeSummary& summary, bool europeanDates);

} // namespace kestro
