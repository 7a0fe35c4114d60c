#pragma once

#include "catalog/ChangeReport.h"

namespace kestro::cli {

// Writes a change report to stdout, one item a line: kind (+, - or ~),
// location, name (folders end in \), old size, new size, old date and new
// date, TAB-separated; or as JSON Lines (see kChangesJsonFields).
void printChanges(const std::vector<ChangeItem>& items, bool json);

// The fields of a change report's JSON objects, for the help.
extern const QString kChangesJsonFields;

} // namespace kestro::cli
