#pragma once

#include <QString>

namespace kestro {

// The criteria of the search window's three tabs, as its controls hold them.
struct SearchCriteria {
    QString named;               // "Named:", a name pattern (NamePatternOf)
    bool between = false;        // "Between" chosen rather than "All Files"
    QString firstDate;           // "Between" ...
    QString secondDate;          // ... "and" ...
    QString descriptionContains; // "Description contains"
    QString sizeComparison;      // "File size is": "equal to", "at least" or "at most"
    QString sizeKilobytes;       // the size box, in KB
    bool europeanDates = false;  // dates typed and shown day first (oDateFormat)

    bool operator==(const SearchCriteria&) const = default;
};

} // namespace kestro
