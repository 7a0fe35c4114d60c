#include "cataloguing/LocalTimeFormatter.h"

#include <algorithm>
#include <ctime>

namespace kestro {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t floorDivide(std::int64_t value, std::int64_t divisor) {
    const std::int64_t quotient = value / divisor;
    return quotient * divisor > value ? quotient - 1 : quotient;
}

struct CivilDate {
    std::int64_t year;
    unsigned month; // 1..12
    unsigned day;   // 1..31
};

// Proleptic Gregorian date of a day count since 1970-01-01 (Howard Hinnant's
// civil_from_days).
CivilDate civilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = floorDivide(days, 146097);
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const unsigned month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const std::int64_t year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2);
    return {year, month, day};
}

// Writes `value` (below 100) as two digits at `out`.
void putTwoDigits(char* out, unsigned value) {
    out[0] = static_cast<char>('0' + value / 10);
    out[1] = static_cast<char>('0' + value % 10);
}

} // namespace

std::int32_t LocalTimeFormatter::offsetAt(std::int64_t secondsSinceEpoch) {
    const auto moment = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
    if (localtime_r(&moment, &local) == nullptr)
        return 0; // beyond what the C library converts: show it as UTC
    return static_cast<std::int32_t>(local.tm_gmtoff);
}

// Whether the offset from UTC stays the same all day, and which it is. Two
// switches on one day that cancel out are taken to be none.
std::uint8_t LocalTimeFormatter::classifyDay(std::int64_t dayNumber) {
    const std::int64_t start = dayNumber * kSecondsPerDay;
    const std::int32_t offset = offsetAt(start);
    if (offsetAt(start + kSecondsPerDay - 1) != offset)
        return kOffsetChanges;
    const auto known = std::find(offsets_.begin(), offsets_.end(), offset);
    if (known != offsets_.end())
        return static_cast<std::uint8_t>(known - offsets_.begin() + 1);
    if (offsets_.size() + 1 >= kOffsetChanges)
        return kOffsetChanges; // a zone with that many offsets is simply not cached
    offsets_.push_back(offset);
    return static_cast<std::uint8_t>(offsets_.size());
}

std::int32_t LocalTimeFormatter::offsetOnDay(std::int64_t dayNumber,
                                             std::int64_t secondsSinceEpoch) {
    const std::int64_t index = dayNumber - kFirstCachedDay;
    if (index < 0 || index >= static_cast<std::int64_t>(kCachedDays))
        return offsetAt(secondsSinceEpoch);
    std::uint8_t& day = days_[static_cast<std::size_t>(index)];
    if (day == kUnknownDay)
        day = classifyDay(dayNumber);
    return day == kOffsetChanges ? offsetAt(secondsSinceEpoch) : offsets_[day - 1];
}

void LocalTimeFormatter::append(std::string& out, std::int64_t secondsSinceEpoch) {
    // A broken file system may report any number; beyond some 3 million
    // years all is shown as that limit, which keeps the arithmetic in range.
    constexpr std::int64_t kLimit = 100'000'000'000'000;
    secondsSinceEpoch = std::clamp(secondsSinceEpoch, -kLimit, kLimit);
    const std::int32_t offset =
        offsetOnDay(floorDivide(secondsSinceEpoch, kSecondsPerDay), secondsSinceEpoch);

    const std::int64_t local = secondsSinceEpoch + offset;
    const std::int64_t localDay = floorDivide(local, kSecondsPerDay);
    const auto secondOfDay = static_cast<unsigned>(local - localDay * kSecondsPerDay);
    const CivilDate date = civilFromDays(localDay);

    if (date.year < 0 || date.year > 9999) {
        out.append(std::to_string(date.year));
    } else {
        char year[4];
        putTwoDigits(year, static_cast<unsigned>(date.year / 100));
        putTwoDigits(year + 2, static_cast<unsigned>(date.year % 100));
        out.append(year, sizeof year);
    }
    char text[15] = {'-', 0, 0, '-', 0, 0, ' ', 0, 0, ':', 0, 0, ':', 0, 0};
    putTwoDigits(text + 1, date.month);
    putTwoDigits(text + 4, date.day);
    putTwoDigits(text + 7, secondOfDay / 3600);
    putTwoDigits(text + 10, secondOfDay / 60 % 60);
    putTwoDigits(text + 13, secondOfDay % 60);
    out.append(text, sizeof text);
}

} // namespace kestro
