#pragma once

#include <QString>

namespace kestro {

// The file a volume is exported to: in `folder`, named after the volume, with
// " (search results)" for search results and ".txt" for printout, ".cdf"
// otherwise. Characters a file name cannot hold or should not ("/", NUL and
// the other control characters) become "_", and so does a "." at the start,
// which would hide the file ("." -> "_.cdf", ".." -> "_..cdf"); an empty
// name becomes "_". A
// `copy` above 1 tells apart volumes of the same name: "Disk (2).cdf".
QString ExportFilePath(const QString& folder, const QString& volumeName, bool fromSearch,
                       bool forPrint, int copy = 1);

} // namespace kestro
