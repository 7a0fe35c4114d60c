#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>
#include <string>
#include <string_view>

namespace kestro {

// The texts a catalog stores for sizes and dates. They never follow the
// user's locale ("," between thousands, "/" and ":" in dates), so a catalog
// file reads the same everywhere. Every size text and count field is
// right-aligned in this many characters:
inline constexpr int kNumberFieldWidth = 15;

// `n` with "," between groups of three digits (the "#,##0" picture), then
// `suffix`, right-aligned with spaces in kNumberFieldWidth characters; a
// longer text is never cut.
void appendNumberField(qint64 n, std::string_view suffix, std::string& out);

// Size text: whole kilobytes, any part of one counted as one more and at
// least 1, then "KB": 1024 bytes and less -> "            1KB",
// 1,048,577 bytes -> "        1,025KB". Negative or NaN counts as 0.
QString SizeText(double bytes);
// The same text appended as bytes, for the bulk import.
void appendSizeText(quint64 bytes, std::string& out);

// Date text of a local date and time, "m/d/yy h:nnam/pm": 3/5/98 2:07pm.
// Empty for an invalid moment or a year outside 1..9999.
QString DateText(const QDateTime& local);

// Converts the listing writer's "yyyy-mm-dd hh:mm:ss" straight to the date
// text, appended to `out`. False, with `out` untouched, when the text is not
// such a date (a wrong shape or a day, hour... out of range).
bool appendDateTextFromListing(std::string_view listingDate, std::string& out);

// The text kept as a volume's catalog moment, "m/d/yyyy h:nn:ss AM/PM":
// 3/5/1998 2:07:22 PM. Empty for an invalid moment or a year outside 1..9999.
QString CatalogMomentText(const QDateTime& local);

// The local calendar year now. Cheap (tens of nanoseconds, where
// QDate::currentDate() takes microseconds), so it can be asked once a row.
int CurrentYear();

// The year a two-digit year stands for: the one in the hundred years that end
// ten years after `currentYear` (2026: 37 -> 1937, 36 -> 2036).
int WindowedYear(int twoDigitYear, int currentYear = CurrentYear());

// A date and time of day as a text names them, free of any time zone.
struct WallClock {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Reads a date text or a catalog moment text back, always month first.
// Tolerated: am/pm in any letter case, one space before it, no seconds, a
// two- or four-digit year, spaces around the text. A two-digit year falls in
// the hundred years that end ten years after `currentYear` (2026:
// 1937..2036). Nothing for any other text, or an impossible date or time.
std::optional<WallClock> WallClockOfDateText(QStringView text, int currentYear = CurrentYear());

// The same as a local date and time (making one costs a time-zone lookup).
std::optional<QDateTime> ParseDateText(QStringView text, int currentYear = CurrentYear());

// The number of kilobytes a size text shows (spaces and "," skipped, "KB" at
// the end): "        1,024KB" -> 1024. Nothing when it is not a size text.
// The UTF-8 overload serves SQL functions, which see the text as bytes.
std::optional<double> KilobytesOfSizeText(QStringView text);
std::optional<double> KilobytesOfSizeText(std::string_view utf8);

// The wall-clock moment a date text (or catalog moment text) names, in seconds
// since 1970-01-01 00:00 counted as if the clock were UTC: no time zone or
// daylight saving shifts, so comparisons follow the texts' own clock. Nothing
// when WallClockOfDateText cannot read the text.
std::optional<qint64> MomentOfDateText(QStringView text, int currentYear = CurrentYear());
std::optional<qint64> MomentOfDateText(std::string_view utf8, int currentYear = CurrentYear());

} // namespace kestro
