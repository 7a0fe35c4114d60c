#pragma once

#include <QString>
#include <optional>
#include <string>

namespace kestro {

// What the name index looks up for a name pattern (NamePatternOf): the
// pattern's text without its wildcards, case-folded as names are, with
// NameCandidates::kNameEdge before it when the pattern holds to the
// beginning of names ("rep*") and after it when it holds to their end
// ("*.doc"). Nothing when the index cannot narrow a search: a pattern of a
// single character or none ("*", "a"), or one with a wildcard inside.
std::optional<std::string> NameNeedleOf(const QString& pattern);

} // namespace kestro
