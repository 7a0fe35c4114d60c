#pragma once

#include "catalog/ChangeReport.h"

#include <QByteArray>
#include <QStringList>

namespace kestro {

// The columns a change report is shown and exported with.
const QStringList& ChangeColumnTitles();
// An item's texts under those columns: the kind (+, - or ~), the location,
// the name (a folder's ends in "\"), and the old and new size and date as
// stored, sizes without their aligning spaces.
QStringList ChangeColumnTexts(const ChangeItem& item);

// The report as comma-separated values in UTF-8: a line of the column titles,
// then one line per item, each value between double quotes (a quote inside
// doubled), lines ending in CR LF.
QByteArray ChangesCsv(const std::vector<ChangeItem>& items);

} // namespace kestro
