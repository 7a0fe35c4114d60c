#pragma once

#include "catalog/Database.h"
#include "search/CatalogVolumes.h"
#include "search/SearchResult.h"

#include <QString>
#include <optional>
#include <vector>

namespace kestro {

class FileTypes;

// What a look for duplicates or single copies covers. Two files are copies
// of one another when their names are equal, letter case included ("A.TXT"
// and "a.txt" are two files), and so are their stored size texts; with
// `sameDate`, their stored date texts too. Folders are never compared.
struct DuplicateCriteria {
    std::vector<CatalogVolume> volumes; // the volumes looked in, in list order
    QString named;                      // a name pattern as "Named:" takes it (NamePatternOf)
    QString atLeastKilobytes; // only files of at least so many KB, as the size box takes it
    bool sameDate = false;
    bool europeanDates = false;           // how the results' dates are shown
    const FileTypes* fileTypes = nullptr; // the results' types and icons; none without
};

// Files that are copies of one another, in list order of their volumes and
// then by location.
struct DuplicateGroup {
    std::vector<SearchResult> files; // two or more
    // Every file's kilobytes together; none when the size text is unreadable.
    std::optional<qint64> totalKilobytes;

    qint64 count() const { return qint64(files.size()); }
    // The total as a size text without aligning spaces ("4,883KB"); empty
    // when unknown.
    QString totalSizeText() const;
};

// The files of the criteria's volumes that have a copy among them, on
// another volume or on the same one, grouped; the largest groups (by total
// size) first, then by name.
std::vector<DuplicateGroup> FindDuplicates(const Database& db, const DuplicateCriteria& criteria);

// The files of the criteria's volumes that have no copy on any other volume
// of the catalog: what would be lost with those media. A file held twice on
// the chosen volumes only is a single copy all the same. In list order of
// their volumes, then by location and name.
std::vector<SearchResult> FindSingleCopies(const Database& db, const DuplicateCriteria& criteria);

// Duplicates and single copies as comma-separated values (AppendCsvLine),
// with the fields of `kestro-cli duplicates`: a line of titles, then a line
// per file with its group, the group's copies and total size (duplicates
// only), and its volume, location, name, size and date as shown.
QByteArray DuplicatesCsv(const std::vector<DuplicateGroup>& groups);
QByteArray SingleCopiesCsv(const std::vector<SearchResult>& files);

} // namespace kestro
