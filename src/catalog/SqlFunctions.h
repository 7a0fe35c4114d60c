#pragma once

#include <QString>

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

} // namespace kestro
