#include "search/NameNeedle.h"

#include "catalog/NameCandidates.h"
#include "catalog/SqlFunctions.h"

namespace kestro {

std::optional<std::string> NameNeedleOf(const QString& pattern) {
    const QChar star = QLatin1Char('*');
    qsizetype begin = 0, end = pattern.size();
    while (begin < end && pattern[begin] == star)
        ++begin;
    while (end > begin && pattern[end - 1] == star)
        --end;
    const QString text = pattern.mid(begin, end - begin);
    if (text.contains(star) || text.contains(QLatin1Char('?')) || text.toUcs4().size() < 2)
        return std::nullopt;
    std::string needle;
    if (begin == 0)
        needle += NameCandidates::kNameEdge;
    appendFoldedName(text.toStdString(), needle);
    if (end == pattern.size())
        needle += NameCandidates::kNameEdge;
    return needle;
}

} // namespace kestro
