#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestro {

// Writes moments as local "yyyy-mm-dd hh:mm:ss" texts, fast enough for a
// million files. localtime_r costs a search of the zone's transitions (under
// a lock shared by all threads) on every call, so the offset from UTC is
// looked up once per day and reused for every moment of that day; a day on
// which the offset changes (a daylight-saving switch) is converted moment by
// moment, and so are moments outside the years 1900 to 2079. The table of
// days takes one byte per day, so the days in use stay in the processor's
// cache between the walk's system calls. One formatter per thread; call
// tzset() before the first use so a changed TZ is seen.
class LocalTimeFormatter {
public:
    // Appends the local date and time of `secondsSinceEpoch` to `out`.
    void append(std::string& out, std::int64_t secondsSinceEpoch);

private:
    std::int32_t offsetAt(std::int64_t secondsSinceEpoch);
    std::int32_t offsetOnDay(std::int64_t dayNumber, std::int64_t secondsSinceEpoch);
    std::uint8_t classifyDay(std::int64_t dayNumber);

    static constexpr std::int64_t kFirstCachedDay = -25567; // 1900-01-01, in days since 1970
    static constexpr std::size_t kCachedDays = 65536;
    static constexpr std::uint8_t kUnknownDay = 0;
    static constexpr std::uint8_t kOffsetChanges = 255;

    // Per day since kFirstCachedDay: kUnknownDay, kOffsetChanges, or 1 + the
    // index in offsets_ of the offset that holds all day.
    std::vector<std::uint8_t> days_ = std::vector<std::uint8_t>(kCachedDays, kUnknownDay);
    std::vector<std::int32_t> offsets_; // seconds east of UTC
};

} // namespace kestro
