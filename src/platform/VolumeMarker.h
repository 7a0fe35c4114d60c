#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace kestro {

// How a volume carries its catalog identifier, so that it is known wherever
// it turns up: a CD-ROM by its serial number, any other volume by a marker
// file in its root folder, written the first time the volume is catalogued.

inline constexpr const char* kMarkerFileName = "Kestro.cat";

// The identifier in the marker file of `root`: its first line, lower-cased,
// without a trailing ".vol". Nothing when the marker is missing, unreadable
// or a symbolic link, or when its first line is empty or not usable as an
// identifier. Only the letters a-z, digits and "-" are: never "_" (it
// separates an identifier from the rest of a tree key), quotes, slashes or
// control characters; nor "temp" and "template", whose tables the catalog
// uses for itself, nor a name beginning "msys", which the catalog's clean-up
// takes for the engine's own.
std::optional<QString> ReadVolumeMarker(const QString& root);

// The identifier of a CD-ROM with this serial number: its absolute value in
// decimal digits; empty for 0, which is no serial.
QString SerialIdentifier(qint32 serial);

} // namespace kestro
