#pragma once

#include <QByteArray>
#include <QStringList>

namespace kestro {

// Appends one line of comma-separated values in UTF-8 to `out`: each value
// between double quotes (a quote inside doubled, so commas, quotes and line
// breaks in names survive), the line ended by CR LF as spreadsheets expect.
void AppendCsvLine(const QStringList& values, QByteArray& out);

} // namespace kestro
