// Dates and sizes as texts: the catalog's stored date and size texts (which a
// catalog file from anywhere may hold in any form), the listing's dates, and
// the search window's date and size boxes. Whatever reads as a value is
// written as its text and read again: the value comes back (a date text
// keeps no seconds and two digits of the year).
//
// Input: one text, tried with every reader.

#include "FuzzSupport.h"
#include "catalog/DisplayRules.h"
#include "catalog/StoredTexts.h"
#include "export/ExportLines.h"
#include "platform/DecimalText.h"
#include "search/SearchCondition.h"
#include "search/SearchInputs.h"

#include <QTimeZone>
#include <cmath>

using namespace kestro;
using namespace kestro::fuzz;

namespace {

constexpr int kYear = 2026; // two-digit years are read in 1937..2036

bool sameMinute(const WallClock& a, const WallClock& b) {
    return a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute;
}

// A wall clock as a date-time whose date and time are its own, whatever the
// machine's time zone.
QDateTime dateTimeOf(const WallClock& c) {
    return QDateTime(QDate(c.year, c.month, c.day), QTime(c.hour, c.minute, c.second),
                     QTimeZone::utc());
}

QString listingDateOf(const WallClock& c) {
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", c.year, c.month, c.day, c.hour,
                             c.minute, c.second);
}

void checkDateText(const QString& text, const QByteArray& bytes) {
    const auto clock = WallClockOfDateText(text, kYear);
    const std::string_view utf8(bytes.constData(), size_t(bytes.size()));
    FUZZ_CHECK(MomentOfDateText(text, kYear) == MomentOfDateText(utf8, kYear));
    (void)DisplayDateText(text, true);
    std::string exported;
    AppendExportDateText(utf8, exported);
    if (!clock)
        return;
    FUZZ_CHECK(clock->year >= 1 && clock->year <= 9999);

    // The date text of the moment, made from a listing date and from a
    // date-time alike, reads back as that moment less its seconds.
    const QString dateText = DateText(dateTimeOf(*clock));
    std::string fromListing;
    FUZZ_CHECK(appendDateTextFromListing(listingDateOf(*clock).toStdString(), fromListing));
    FUZZ_CHECK(dateText.toStdString() == fromListing);
    const auto again = WallClockOfDateText(dateText, kYear);
    FUZZ_CHECK(again && sameMinute(*again, *clock) && again->second == 0 &&
               again->year == WindowedYear(clock->year % 100, kYear));
    FUZZ_CHECK(DateText(dateTimeOf(*again)) == dateText);

    // The catalog moment text keeps all of it.
    const auto moment = WallClockOfDateText(CatalogMomentText(dateTimeOf(*clock)), kYear);
    FUZZ_CHECK(moment && sameMinute(*moment, *clock) && moment->second == clock->second &&
               moment->year == clock->year);
}

void checkListingDate(const QByteArray& bytes) {
    std::string text;
    if (!appendDateTextFromListing(std::string_view(bytes.constData(), size_t(bytes.size())), text))
        return;
    // "yyyy-mm-dd hh:mm:ss" as read
    const WallClock listed{bytes.mid(0, 4).toInt(),  bytes.mid(5, 2).toInt(),
                           bytes.mid(8, 2).toInt(),  bytes.mid(11, 2).toInt(),
                           bytes.mid(14, 2).toInt(), 0};
    const auto clock = WallClockOfDateText(QString::fromStdString(text), kYear);
    FUZZ_CHECK(clock && sameMinute(*clock, listed) && clock->second == 0 &&
               clock->year % 100 == listed.year % 100);
}

void checkSizeText(const QString& text, const QByteArray& bytes) {
    const auto kilobytes = KilobytesOfSizeText(text);
    FUZZ_CHECK(kilobytes ==
               KilobytesOfSizeText(std::string_view(bytes.constData(), size_t(bytes.size()))));
    if (!kilobytes || !(*kilobytes <= 0x1p50))
        return;
    FUZZ_CHECK(*kilobytes >= 0);
    (void)ZeroKilobyteText(*kilobytes * 1024);
    // A size of that many kilobytes shows whole kilobytes, at least one.
    const QString sizeText = SizeText(*kilobytes * 1024);
    FUZZ_CHECK(sizeText.size() >= kNumberFieldWidth && sizeText.endsWith(QLatin1String("KB")));
    FUZZ_CHECK(KilobytesOfSizeText(sizeText) == std::max(1.0, std::ceil(*kilobytes)));
}

void checkSearchBoxes(const QString& text) {
    for (const bool european : {false, true}) {
        const auto date = ReadSearchDate(text, european, kYear);
        if (!date)
            continue;
        const auto typed = [&](int yearDigits) {
            const int year = yearDigits == 2 ? date->year() % 100 : date->year();
            const int first = european ? date->day() : date->month();
            const int second = european ? date->month() : date->day();
            return QStringLiteral("%1/%2/%3")
                .arg(first)
                .arg(second)
                .arg(year, yearDigits, 10, QLatin1Char('0'));
        };
        FUZZ_CHECK(ReadSearchDate(typed(4), european, kYear) == date);
        const auto twoDigits = ReadSearchDate(typed(2), european, kYear);
        FUZZ_CHECK(twoDigits && twoDigits->month() == date->month() &&
                   twoDigits->day() == date->day() &&
                   twoDigits->year() == WindowedYear(date->year() % 100, kYear));
    }
    if (const auto kilobytes = ReadSearchKilobytes(text)) {
        FUZZ_CHECK(std::isfinite(*kilobytes) && *kilobytes >= 0);
        const QString written = DecimalText(*kilobytes);
        if (!written.contains(QLatin1Char('e')))
            FUZZ_CHECK(ReadSearchKilobytes(written) == kilobytes);
    }
    SearchCriteria criteria;
    criteria.between = true;
    criteria.firstDate = text;
    criteria.secondDate = QStringLiteral("1/1/70");
    criteria.sizeComparison = QStringLiteral("at least");
    criteria.sizeKilobytes = text;
    (void)SearchCondition::fromCriteria(criteria, kYear);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = bytesOf(data, size);
    const QString text = QString::fromUtf8(bytes);
    checkDateText(text, bytes);
    checkListingDate(bytes);
    checkSizeText(text, bytes);
    checkSearchBoxes(text);
    return 0;
}
