#include "browser/VolumeSummary.h"

#include "catalog/DisplayRules.h"
#include "catalog/StoredTexts.h"

namespace kestro {

std::array<QString, 8> VolumeFigureTexts(const VolumeSummary& summary, bool europeanDates) {
    return {SizeText(summary.capacity),
            ZeroKilobyteText(summary.free),
            ZeroKilobyteText(summary.used),
            DisplayDateText(summary.cataloged, europeanDates),
            summary.description,
            CountText(summary.dirs),
            CountText(summary.files),
            DisplayDateText(summary.changesReported, europeanDates)};
}

QString VolumeStatusText(const QString& nodeText, const VolumeSummary& summary,
                         bool europeanDates) {
    const std::array<QString, 8> figures = VolumeFigureTexts(summary, europeanDates);
    return QStringLiteral(" %1 -- Capacity: %2 - %3 free - %4 used -- Cataloged on %5 -- %6 dirs, "
                          "%7 files")
               .arg(nodeText, figures[0].trimmed(), figures[1].trimmed(), figures[2].trimmed(),
                    figures[3].trimmed(), figures[5].trimmed(), figures[6].trimmed()) +
           (figures[7].isEmpty() ? QString()
                                 : QStringLiteral(" -- Changes reported on ") + figures[7]);
}

} // namespace kestro
