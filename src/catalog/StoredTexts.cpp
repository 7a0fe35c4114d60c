#include "catalog/StoredTexts.h"

#include <QDate>
#include <QTime>
#include <cmath>
#include <ctime>
#include <limits>

namespace kestro {

namespace {

constexpr quint64 kBytesPerKilobyte = 1024;
constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kJulianDayOf1970 = 2440588;

// The years a date text can be written for and read back from.
bool isWritableYear(int year) {
    return year >= 1 && year <= 9999;
}

bool isValid(const WallClock& c) {
    return isWritableYear(c.year) && QDate::isValid(c.year, c.month, c.day) && c.hour >= 0 &&
           c.hour < 24 && c.minute >= 0 && c.minute < 60 && c.second >= 0 && c.second < 60;
}

// `value` in decimal, with leading zeros up to `minDigits`.
void appendDigits(unsigned value, int minDigits, std::string& out) {
    char buffer[12];
    char* const end = buffer + sizeof buffer;
    char* p = end;
    do {
        *--p = static_cast<char>('0' + value % 10);
        value /= 10;
        --minDigits;
    } while (value != 0 || minDigits > 0);
    out.append(p, end);
}

int hourOf12HourClock(int hour) {
    return hour % 12 == 0 ? 12 : hour % 12;
}

// "m/d/yy h:nnam"
void appendDateText(const WallClock& c, std::string& out) {
    appendDigits(c.month, 1, out);
    out += '/';
    appendDigits(c.day, 1, out);
    out += '/';
    appendDigits(c.year % 100, 2, out);
    out += ' ';
    appendDigits(hourOf12HourClock(c.hour), 1, out);
    out += ':';
    appendDigits(c.minute, 2, out);
    out += c.hour < 12 ? "am" : "pm";
}

// "m/d/yyyy h:nn:ss AM"
void appendCatalogMomentText(const WallClock& c, std::string& out) {
    appendDigits(c.month, 1, out);
    out += '/';
    appendDigits(c.day, 1, out);
    out += '/';
    appendDigits(c.year, 4, out);
    out += ' ';
    appendDigits(hourOf12HourClock(c.hour), 1, out);
    out += ':';
    appendDigits(c.minute, 2, out);
    out += ':';
    appendDigits(c.second, 2, out);
    out += c.hour < 12 ? " AM" : " PM";
}

// Reads the texts this file writes, over UTF-16 (char16_t) or UTF-8 (char)
// alike: the date and size texts are plain ASCII.
template <typename Char> class Scanner {
public:
    Scanner(const Char* begin, const Char* end) : p_(begin), end_(end) {}

    bool atEnd() const { return p_ == end_; }

    // Consumes `c` when it comes next.
    bool skip(char c) {
        if (p_ == end_ || *p_ != static_cast<Char>(c))
            return false;
        ++p_;
        return true;
    }

    // Consumes `lower` or its upper-case letter when it comes next.
    bool skipLetter(char lower) {
        if (p_ == end_ || !isLetter(*p_, lower))
            return false;
        ++p_;
        return true;
    }

    int skipSpaces() {
        int count = 0;
        while (skip(' '))
            ++count;
        return count;
    }

    // A decimal number of `minDigits` to `maxDigits` digits; `digits` tells
    // how many there were.
    bool number(int minDigits, int maxDigits, int& value, int& digits) {
        value = 0;
        digits = 0;
        while (digits < maxDigits && p_ != end_ && isDigit(*p_)) {
            value = value * 10 + (*p_++ - '0');
            ++digits;
        }
        return digits >= minDigits;
    }
    bool number(int minDigits, int maxDigits, int& value) {
        int digits = 0;
        return number(minDigits, maxDigits, value, digits);
    }

    static bool isDigit(Char c) { return c >= '0' && c <= '9'; }
    static bool isLetter(Char c, char lower) {
        return c == static_cast<Char>(lower) || c == static_cast<Char>(lower - 'a' + 'A');
    }

private:
    const Char* p_;
    const Char* end_;
};

// "m/d/yy h:nnam" or "m/d/yyyy h:nn:ss AM" and the shapes in between.
template <typename Char>
std::optional<WallClock> parseDateText(const Char* begin, const Char* end, int currentYear) {
    Scanner<Char> in(begin, end);
    WallClock c;
    int yearDigits = 0;
    int hour = 0;
    in.skipSpaces();
    if (!in.number(1, 2, c.month) || !in.skip('/') || !in.number(1, 2, c.day) || !in.skip('/') ||
        !in.number(2, 4, c.year, yearDigits) || yearDigits == 3 || in.skipSpaces() == 0 ||
        !in.number(1, 2, hour) || !in.skip(':') || !in.number(2, 2, c.minute))
        return std::nullopt;
    if (in.skip(':') && !in.number(2, 2, c.second))
        return std::nullopt;
    in.skip(' ');
    const bool pm = in.skipLetter('p');
    if (!pm && !in.skipLetter('a'))
        return std::nullopt;
    if (!in.skipLetter('m'))
        return std::nullopt;
    in.skipSpaces();
    if (!in.atEnd() || hour < 1 || hour > 12)
        return std::nullopt;
    c.hour = hour % 12 + (pm ? 12 : 0);
    if (yearDigits == 2)
        c.year = WindowedYear(c.year, currentYear);
    if (!isValid(c))
        return std::nullopt;
    return c;
}

std::optional<qint64> momentOf(const std::optional<WallClock>& c) {
    if (!c)
        return std::nullopt;
    const qint64 days = QDate(c->year, c->month, c->day).toJulianDay() - kJulianDayOf1970;
    return days * kSecondsPerDay + c->hour * 3600 + c->minute * 60 + c->second;
}

// Digits with "," and spaces anywhere, an optional "." fraction, then "KB".
template <typename Char>
std::optional<double> kilobytesOfSizeText(const Char* begin, const Char* end) {
    if (end - begin < 2 || !Scanner<Char>::isLetter(end[-2], 'k') ||
        !Scanner<Char>::isLetter(end[-1], 'b'))
        return std::nullopt;
    double whole = 0;
    double fraction = 0;
    double fractionScale = 1;
    bool inFraction = false;
    bool anyDigit = false;
    for (const Char* p = begin; p != end - 2; ++p) {
        const Char c = *p;
        if (Scanner<Char>::isDigit(c)) {
            anyDigit = true;
            if (inFraction) {
                // Digits beyond what a double holds change nothing; taking
                // them all would overflow the scale and give NaN.
                if (fractionScale < 1e18) {
                    fraction = fraction * 10 + (c - '0');
                    fractionScale *= 10;
                }
            } else {
                whole = whole * 10 + (c - '0');
            }
        } else if (c == '.' && !inFraction) {
            inFraction = true;
        } else if (c != ' ' && c != ',') {
            return std::nullopt;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    return whole + fraction / fractionScale;
}

// Whole bytes, any part of a byte counted as one; 0 for negative and NaN.
quint64 wholeBytes(double bytes) {
    if (!(bytes > 0))
        return 0;
    constexpr double kBeyondLargest = 18446744073709551616.0; // 2^64
    if (bytes >= kBeyondLargest)
        return std::numeric_limits<quint64>::max();
    return static_cast<quint64>(std::ceil(bytes));
}

QString fromAscii(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The text `append` writes for a local moment; empty when there is no moment
// or its year cannot be written.
QString textOfMoment(const QDateTime& local, void (*append)(const WallClock&, std::string&)) {
    if (!local.isValid())
        return {};
    const QDate date = local.date();
    const QTime time = local.time();
    const WallClock clock{date.year(), date.month(),  date.day(),
                          time.hour(), time.minute(), time.second()};
    if (!isWritableYear(clock.year))
        return {};
    std::string text;
    append(clock, text);
    return fromAscii(text);
}

} // namespace

void appendNumberField(qint64 n, std::string_view suffix, std::string& out) {
    char buffer[32]; // 19 digits, 6 separators and a sign
    char* const end = buffer + sizeof buffer;
    char* p = end;
    // The magnitude as unsigned, so that the smallest qint64 has one too.
    quint64 magnitude = n < 0 ? 0 - static_cast<quint64>(n) : static_cast<quint64>(n);
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0)
            *--p = ',';
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
        ++digits;
    } while (magnitude != 0);
    if (n < 0)
        *--p = '-';
    const auto length = static_cast<int>(end - p) + static_cast<int>(suffix.size());
    if (length < kNumberFieldWidth)
        out.append(kNumberFieldWidth - length, ' ');
    out.append(p, end);
    out.append(suffix);
}

void appendSizeText(quint64 bytes, std::string& out) {
    const quint64 kilobytes = bytes / kBytesPerKilobyte + (bytes % kBytesPerKilobyte != 0 ? 1 : 0);
    // Below 2^54, so it always fits a qint64.
    appendNumberField(static_cast<qint64>(std::max<quint64>(kilobytes, 1)), "KB", out);
}

QString SizeText(double bytes) {
    std::string text;
    appendSizeText(wholeBytes(bytes), text);
    return fromAscii(text);
}

QString DateText(const QDateTime& local) {
    return textOfMoment(local, appendDateText);
}

bool appendDateTextFromListing(std::string_view listingDate, std::string& out) {
    // yyyy-mm-dd hh:mm:ss
    static constexpr std::string_view kShape = "0000-00-00 00:00:00";
    if (listingDate.size() != kShape.size())
        return false;
    for (size_t i = 0; i < kShape.size(); ++i) {
        const bool digitWanted = kShape[i] == '0';
        const char c = listingDate[i];
        if (digitWanted ? !Scanner<char>::isDigit(c) : c != kShape[i])
            return false;
    }
    const auto field = [&](size_t at, size_t length) {
        int value = 0;
        for (size_t i = at; i < at + length; ++i)
            value = value * 10 + (listingDate[i] - '0');
        return value;
    };
    const WallClock clock{field(0, 4),  field(5, 2),  field(8, 2),
                          field(11, 2), field(14, 2), field(17, 2)};
    if (!isValid(clock))
        return false;
    appendDateText(clock, out);
    return true;
}

QString CatalogMomentText(const QDateTime& local) {
    return textOfMoment(local, appendCatalogMomentText);
}

int WindowedYear(int twoDigitYear, int currentYear) {
    const int first = currentYear + 10 - 99;
    const int year = first - first % 100 + twoDigitYear;
    return year < first ? year + 100 : year;
}

int CurrentYear() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

std::optional<WallClock> WallClockOfDateText(QStringView text, int currentYear) {
    return parseDateText(text.utf16(), text.utf16() + text.size(), currentYear);
}

std::optional<QDateTime> ParseDateText(QStringView text, int currentYear) {
    const auto clock = WallClockOfDateText(text, currentYear);
    if (!clock)
        return std::nullopt;
    return QDateTime(QDate(clock->year, clock->month, clock->day),
                     QTime(clock->hour, clock->minute, clock->second), Qt::LocalTime);
}

std::optional<double> KilobytesOfSizeText(QStringView text) {
    return kilobytesOfSizeText(text.utf16(), text.utf16() + text.size());
}

std::optional<double> KilobytesOfSizeText(std::string_view utf8) {
    return kilobytesOfSizeText(utf8.data(), utf8.data() + utf8.size());
}

std::optional<qint64> MomentOfDateText(QStringView text, int currentYear) {
    return momentOf(WallClockOfDateText(text, currentYear));
}

std::optional<qint64> MomentOfDateText(std::string_view utf8, int currentYear) {
    return momentOf(parseDateText(utf8.data(), utf8.data() + utf8.size(), currentYear));
}

} // namespace kestro
