#include "cataloguing/LocalTimeFormatter.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>

namespace kestro {
namespace {

// Runs a test under another time zone and puts the old one back.
class TimeZone {
  public:
    explicit TimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            old_ = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZone() {
        if (old_)
            ::setenv("TZ", old_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

  private:
    std::optional<std::string> old_;
};

std::tm localTime(std::int64_t seconds) {
    const auto moment = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&moment, &local);
    return local;
}

std::string expectedText(std::int64_t seconds) {
    const std::tm local = localTime(seconds);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

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
    for (int i = 0; i < 100000 && mismatches < 5; ++i) {
        const std::int64_t seconds = moments(random);
        const std::string text = formatted(formatter, seconds);
        if (text != expectedText(seconds)) {
            ADD_FAILURE() << seconds << ": " << text << " instead of " << expectedText(seconds);
            ++mismatches;
        }
    }
    for (std::int64_t day = -25567; day < 47482 && mismatches < 5; ++day) {
        const std::int64_t start = day * 86400;
        if (localTime(start).tm_gmtoff == localTime(start + 86399).tm_gmtoff)
            continue;
        for (std::int64_t seconds = start; seconds < start + 86400; seconds += 127) {
            if (formatted(formatter, seconds) != expectedText(seconds)) {
                ADD_FAILURE() << seconds << ": " << formatted(formatter, seconds) << " instead of "
                              << expectedText(seconds);
                ++mismatches;
            }
        }
    }
}

TEST(LocalTimeFormatter, AgreesWithTheCLibraryInZonesWithOddOffsetsAndSwitches) {
    expectSameAsTheCLibrary("UTC");
    expectSameAsTheCLibrary("Europe/Berlin");
    expectSameAsTheCLibrary("America/New_York");
    expectSameAsTheCLibrary("Australia/Lord_Howe"); // half-hour daylight saving
    expectSameAsTheCLibrary("Asia/Kathmandu");      // +05:45, once +05:30
    expectSameAsTheCLibrary("Pacific/Apia");        // skipped 30 December 2011 altogether
    expectSameAsTheCLibrary("EST5EDT,M3.2.0,M11.1.0");
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
