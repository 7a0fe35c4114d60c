#pragma once

#include <QString>
#include <string>
#include <string_view>

struct sqlite3;

namespace kestro {

// Registers the catalog's SQL functions on a connection:
//
//   kestro_like(pattern, text)  1 when `text` matches the pattern, where "*"
//                               stands for any run of characters and "?" for
//                               one; every other character stands for itself
//                               ("%", "_", "[" included). Letter case is
//                               ignored for all of Unicode. Null for Null text.
//   kestro_contains(part, text) 1 when `text` holds `part`, letter case
//                               ignored as above and every character literal
//                               ("*" and "?" too). Null for Null text.
//   kestro_kb(size_text)        the kilobytes of a stored size text
//                               ("      1,234KB" -> 1234); Null when unreadable.
//   kestro_moment(date_text)    the wall-clock moment of a stored date text in
//                               seconds since 1970; Null when unreadable.
//   kestro_below_root(parent)   the path of a stored parent below its volume's
//                               root ("E:\GAMES" -> "\GAMES"; see
//                               PathBelowRoot.h). Null for Null.
void registerCatalogFunctions(sqlite3* db);

// The matcher behind kestro_like, for use outside SQL.
bool matchesNamePattern(const QString& pattern, const QString& text);

// Appends a name (UTF-8) as the matcher compares it: ASCII letters in lower
// case, any other text case-folded for all of Unicode. A name matches a
// pattern without wildcards inside exactly when its folded form holds the
// folded pattern, so the name index keeps names in this form.
void appendFoldedName(std::string_view name, std::string& out);

} // namespace kestro
