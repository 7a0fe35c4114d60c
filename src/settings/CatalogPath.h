#pragma once

#include <QString>

namespace kestro {

// The full path of a catalog path as the settings file stores it: the text
// before any NUL, trimmed; empty means "default.mdb" in the program folder, a
// path beginning with "/" and a hosted catalog's URI are taken as written,
// any other is relative to the program folder ("cats/home.mdb" ->
// <folder>/cats/home.mdb).
QString ResolveCatalogPath(const QString& stored, const QString& programFolder);

} // namespace kestro
