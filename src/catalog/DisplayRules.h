#pragma once

#include "catalog/SqlValue.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>

namespace kestro {

// How the views show what a catalog stores: names, counts, sizes, dates.

// Smart capitalisation of a name: lower case, with the first character and
// every character after a space in capitals (MY ZIP DISK -> My Zip Disk,
// readme.TXT -> Readme.txt). Only a space opens a word: DOS-GAMES ->
// Dos-games. Unchanged when `enabled` is false.
QString SmartCaps(const QString& text, bool enabled);

// The text form of a stored value: "" for Null, whole numbers in plain
// digits, other numbers in their shortest plain decimal form, texts as they are.
QString NullToEmpty(const SqlValue& value);

// A count with "," between thousands, right-aligned in 15 characters. A Null
// gives 15 spaces; a stored text that is no number is shown right-aligned as it is.
QString CountText(qint64 count);
QString CountText(const SqlValue& count);

// The volume's table name in a node key, list-item key or table name: the
// text before the first "_", or the whole text.
QString TableNameOf(QStringView key);

// A volume's free or used figure: its size text, but 0KB where the size text
// says 1KB, so that a full disk shows no free space and an empty one no use.
QString ZeroKilobyteText(double bytes);

// A stored date text as the views show it: unchanged, or day first,
// "d/m/yyyy h:mm:ss am/pm", when `european` is set. A text that cannot be
// read as a date is shown as stored, never dropped.
QString DisplayDateText(const QString& stored, bool european);

} // namespace kestro
