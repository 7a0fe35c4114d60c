#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestro {

// Writes moments as local "yyyy-mm-dd hh:mm:ss" texts, fast enough for a
// million files. localtime_r costs a search of the zone's transitions (under
// a lock shared by all threads) on every call, so the offset from UTC is
// looked up once per day and reused for every moment of that day. A day on
// which the offset changes (a daylight-saving switch) is converted moment by
// moment. One formatter per thread; call tzset() before the first use so a
// changed TZ is seen.
class LocalTimeFormatter {
  public:
    // Appends the local date and time of `secondsSinceEpoch` to `out`.
    void append(std::string& out, std::int64_t secondsSinceEpoch);

  private:
    struct Day {
        std::int64_t number = INT64_MIN; // days since 1970-01-01 UTC
        std::int32_t offset = 0;         // seconds east of UTC all day long
        bool offsetChanges = false;
    };

    std::int32_t offsetAt(std::int64_t secondsSinceEpoch);

    // Enough days for 44 years of dates without two sharing a place.
    static constexpr std::size_t kCachedDays = 16384;
    std::vector<Day> days_ = std::vector<Day>(kCachedDays);
};

} // namespace kestro
