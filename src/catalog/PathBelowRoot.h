#pragma once

#include <QString>
#include <string_view>

namespace kestro {

// The rows of a volume name their folder by its full path, drive letter first
// ("E:\GAMES\x"), but the letter is only where the volume happened to be when
// it was catalogued: catalogued again under Y:, the same folder is
// "Y:\GAMES\x". Two catalogues of one volume are compared by the path below
// the volume's root, the parent without its drive letter and colon
// ("\GAMES\x", and "" for an item at the top). A parent that does not begin
// with a drive is its own path below the root.
//
// SQL has the same rule as kestro_below_root(parent), registered on every
// catalog connection (Null for Null).
QString PathBelowRoot(const QString& parent);
std::string_view PathBelowRoot(std::string_view parentUtf8);

} // namespace kestro
