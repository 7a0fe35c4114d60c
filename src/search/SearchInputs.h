#pragma once

#include "catalog/StoredTexts.h"

#include <QDate>
#include <QStringView>
#include <optional>

namespace kestro {

// What the search window accepts in its date and size boxes.

// A date: day, month and year as numbers separated by "/", month first
// (12/25/98) or, with European dates, day first (25/12/98). The year has two
// or four digits; a two-digit year is read in the same hundred years as the
// catalog's date texts (WindowedYear). Spaces around the text are ignored.
// Nothing for any other text or a day the calendar does not have.
std::optional<QDate> ReadSearchDate(QStringView text, bool european,
                                    int currentYear = CurrentYear());

// A size in kilobytes: a plain decimal number, whole or with a fraction,
// whose whole part may be grouped with "," as sizes are shown (1,234).
// Spaces around the text are ignored. Nothing for any other text.
std::optional<double> ReadSearchKilobytes(QStringView text);

} // namespace kestro
