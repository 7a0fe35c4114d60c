#include "cataloguing/LocalTimeFormatter.h"

#include "TimeZone.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace kestro {
namespace {

using test::localDateText;
using test::localTime;
using test::TimeZone;

std::string formatted(LocalTimeFormatter& formatter, std::int64_t seconds) {
    std::string text;
    formatter.append(text, seconds);
    return text;
}

// Compares with localtime_r at random moments from 1900 to 2100 and, on every
// day whose offset changes, at some 700 moments through the day.
void expectSameAsTheCLibrary(const char* zone) {
    SCOPED_TRACE(zone);
    const TimeZone timeZone(zone);
    LocalTimeFormatter formatter;
    std::mt19937_64 random(7);
    std::uniform_int_distribution<std::int64_t> moments(-2208988800, 4102444800);
    int mismatches = 0;
    const auto check = [&](std::int64_t seconds) {
        const std::string text = formatted(formatter, seconds);
        if (text != localDateText(seconds)) {
            ADD_FAILURE() << seconds << ": " << text << " instead of " << localDateText(seconds);
            ++mismatches;
        }
    };
    for (int i = 0; i < 100000 && mismatches < 5; ++i)
        check(moments(random));
    for (std::int64_t day = -25567; day < 47482 && mismatches < 5; ++day) {
        const std::int64_t start = day * 86400;
        if (localTime(start).tm_gmtoff != localTime(start + 86399).tm_gmtoff)
            for (std::int64_t seconds = start; seconds < start + 86400; seconds += 127)
                check(seconds);
    }
}

TEST(LocalTimeFormatter, AgreesWithTheCLibraryInZonesWithOddOffsetsAndSwitches) {
    for (const char* zone : {"UTC", "Europe/Berlin", "America/New_York",
                             "Australia/Lord_Howe", // half-hour daylight saving
                             "Asia/Kathmandu",      // +05:45, once +05:30
                             "Pacific/Apia",        // skipped 30 December 2011 altogether
                             "EST5EDT,M3.2.0,M11.1.0"})
        expectSameAsTheCLibrary(zone);
}

TEST(LocalTimeFormatter, WritesTheWholeDateAndTimeAroundASwitch) {
    const TimeZone timeZone("Europe/Berlin");
    LocalTimeFormatter formatter;
    EXPECT_EQ(formatted(formatter, 1585443599), "2020-03-29 01:59:59");
    EXPECT_EQ(formatted(formatter, 1585443600), "2020-03-29 03:00:00");
    EXPECT_EQ(formatted(formatter, 1603587599), "2020-10-25 02:59:59");
    EXPECT_EQ(formatted(formatter, 1603587600), "2020-10-25 02:00:00");
    EXPECT_EQ(formatted(formatter, 0), "1970-01-01 01:00:00");
    EXPECT_EQ(formatted(formatter, -1), "1970-01-01 00:59:59");
}

} // namespace
} // namespace kestro
