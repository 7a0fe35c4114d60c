#include "catalog/StoredTexts.h"

#include <QRandomGenerator>
#include <QTime>
#include <gtest/gtest.h>

using namespace kestro;

namespace {

// `text` right-aligned in a size-text field.
QString padded(const QString& text) {
    return text.rightJustified(kNumberFieldWidth, ' ');
}

std::string sizeTextBytes(quint64 bytes) {
    std::string out;
    appendSizeText(bytes, out);
    return out;
}

QDateTime at(int year, int month, int day, int hour, int minute, int second = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

std::optional<std::string> fromListing(std::string_view listingDate) {
    std::string out;
    if (!appendDateTextFromListing(listingDate, out))
        return std::nullopt;
    return out;
}

} // namespace

TEST(SizeText, RoundsUpToWholeKilobytesOfAtLeastOne) {
    EXPECT_EQ(SizeText(0), "            1KB");
    EXPECT_EQ(SizeText(1), padded("1KB"));
    EXPECT_EQ(SizeText(1023), padded("1KB"));
    EXPECT_EQ(SizeText(1024), padded("1KB"));
    EXPECT_EQ(SizeText(1025), padded("2KB"));
    EXPECT_EQ(SizeText(1536), padded("2KB"));
    EXPECT_EQ(SizeText(2048), padded("2KB"));
    EXPECT_EQ(SizeText(2049), padded("3KB"));
    EXPECT_EQ(SizeText(1024.5), padded("2KB")); // part of a byte still counts
    EXPECT_EQ(SizeText(-5), padded("1KB"));
    EXPECT_EQ(SizeText(std::nan("")), padded("1KB"));
}

TEST(SizeText, GroupsThousandsWithCommaAndNeverCutsLongTexts) {
    EXPECT_EQ(SizeText(1048576), "        1,024KB");
    EXPECT_EQ(SizeText(1048577), padded("1,025KB"));
    EXPECT_EQ(SizeText(5000000), padded("4,883KB"));
    EXPECT_EQ(SizeText(1023.0 * 1024 * 1024), padded("1,047,552KB"));
    EXPECT_EQ(SizeText(std::pow(1024.0, 4)), "1,073,741,824KB"); // exactly 15
    EXPECT_EQ(SizeText(std::pow(1024.0, 5)), "1,099,511,627,776KB");
    EXPECT_EQ(SizeText(1e30), "18,014,398,509,481,984KB"); // the largest count there is
}

TEST(SizeText, IsExactAboveTheRangeOfFloatingPointDivision) {
    // 2^60 + 1 bytes is one byte more than 2^50 kilobytes.
    EXPECT_EQ(sizeTextBytes((quint64(1) << 60) + 1), "1,125,899,906,842,625KB");
    EXPECT_EQ(sizeTextBytes(~quint64(0)), "18,014,398,509,481,984KB");
}

TEST(SizeText, ByteVariantAppendsTheSameTextOverAWideSweep) {
    std::string out = "x";
    appendSizeText(1025, out);
    EXPECT_EQ(out, "x            2KB");

    QRandomGenerator random(7);
    for (quint64 bytes = 0; bytes < 300000; bytes += 1 + bytes / 50)
        ASSERT_EQ(QString::fromStdString(sizeTextBytes(bytes)), SizeText(double(bytes))) << bytes;
    for (int i = 0; i < 100000; ++i) {
        // Whole numbers up to 2^53 are exact as doubles.
        const quint64 bytes = random.generate64() >> random.bounded(11, 64);
        ASSERT_EQ(QString::fromStdString(sizeTextBytes(bytes)), SizeText(double(bytes))) << bytes;
    }
}

TEST(NumberField, SignAndSmallestNumber) {
    std::string out;
    appendNumberField(-1874, "", out);
    EXPECT_EQ(out, "         -1,874");
    out.clear();
    appendNumberField(std::numeric_limits<qint64>::min(), "", out);
    EXPECT_EQ(out, "-9,223,372,036,854,775,808");
}

TEST(DateText, TwelveHourClockWithoutSecondsAndTwoDigitYear) {
    EXPECT_EQ(DateText(at(1998, 3, 5, 14, 7, 59)), "3/5/98 2:07pm");
    EXPECT_EQ(DateText(at(1998, 12, 25, 0, 0)), "12/25/98 12:00am");
    EXPECT_EQ(DateText(at(1998, 12, 25, 0, 59)), "12/25/98 12:59am");
    EXPECT_EQ(DateText(at(1998, 12, 25, 11, 59)), "12/25/98 11:59am");
    EXPECT_EQ(DateText(at(1998, 12, 25, 12, 0)), "12/25/98 12:00pm");
    EXPECT_EQ(DateText(at(1998, 12, 25, 23, 59)), "12/25/98 11:59pm");
    EXPECT_EQ(DateText(at(1999, 12, 31, 23, 59)), "12/31/99 11:59pm");
    EXPECT_EQ(DateText(at(2000, 1, 1, 0, 0)), "1/1/00 12:00am");
    EXPECT_EQ(DateText(at(2009, 10, 10, 10, 10)), "10/10/09 10:10am");
    EXPECT_EQ(DateText(QDateTime()), "");
}

TEST(DateText, CatalogMomentKeepsSecondsAndFourDigitYear) {
    EXPECT_EQ(CatalogMomentText(at(1998, 3, 5, 14, 7, 22)), "3/5/1998 2:07:22 PM");
    EXPECT_EQ(CatalogMomentText(at(2000, 1, 1, 0, 0, 5)), "1/1/2000 12:00:05 AM");
    EXPECT_EQ(CatalogMomentText(at(2024, 11, 30, 12, 59, 59)), "11/30/2024 12:59:59 PM");
    EXPECT_EQ(CatalogMomentText(QDateTime()), "");
}

TEST(DateText, ListingDateConvertsLikeTheDateOfItsText) {
    QRandomGenerator random(11);
    for (int i = 0; i < 20000; ++i) {
        const QDateTime moment(QDate(1900, 1, 1).addDays(random.bounded(200 * 366)),
                               QTime(0, 0).addSecs(random.bounded(86400)));
        const QString listing = moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        const auto converted = fromListing(listing.toStdString());
        ASSERT_TRUE(converted) << listing.toStdString();
        ASSERT_EQ(QString::fromStdString(*converted), DateText(moment)) << listing.toStdString();
    }
    std::string out = "x";
    ASSERT_TRUE(appendDateTextFromListing("2000-02-29 00:30:00", out));
    EXPECT_EQ(out, "x2/29/00 12:30am");
}

TEST(DateText, MalformedListingDateIsRefusedAndAppendsNothing) {
    for (const char* bad :
         {"", "1998-03-05 14:07", "1998-3-05 14:07:00", "1998/03/05 14:07:00",
          "1998-03-05T14:07:00", "1998-03-05 14:07:00\r", " 1998-03-05 14:07:00",
          "1998-02-29 10:00:00", "1900-02-29 10:00:00", "1998-13-01 10:00:00",
          "1998-00-10 10:00:00", "1998-01-32 10:00:00", "1998-04-31 10:00:00",
          "1998-01-01 24:00:00", "1998-01-01 10:60:00", "1998-01-01 10:00:60",
          "0000-01-01 00:00:00", "1998-01-01 1a:00:00", "1998-01-01 \xc3\xa9:00:00"}) {
        std::string out = "kept";
        EXPECT_FALSE(appendDateTextFromListing(bad, out)) << bad;
        EXPECT_EQ(out, "kept");
    }
}

TEST(ParseDateText, ReadsBackWhatIsWritten) {
    const QDateTime moment = at(1998, 3, 5, 14, 7, 22);
    EXPECT_EQ(ParseDateText(DateText(moment), 2026), at(1998, 3, 5, 14, 7));
    EXPECT_EQ(ParseDateText(CatalogMomentText(moment), 2026), moment);
    EXPECT_EQ(ParseDateText(u"12/25/98 12:00am", 2026), at(1998, 12, 25, 0, 0));
    EXPECT_EQ(ParseDateText(u"12/25/98 12:30pm", 2026), at(1998, 12, 25, 12, 30));
    EXPECT_EQ(ParseDateText(u"12/25/98 1:00pm", 2026), at(1998, 12, 25, 13, 0));
}

TEST(ParseDateText, ToleratesCaseSpacingSecondsAndLeadingZeros) {
    const QDateTime expected = at(1998, 3, 5, 14, 7);
    for (const char16_t* text : {u"3/5/98 2:07PM", u"3/5/98 2:07 pm", u"3/5/98 2:07 Pm",
                                 u"03/05/1998 02:07:00 pm", u"3/5/98  2:07pm", u" 3/5/98 2:07pm "})
        EXPECT_EQ(ParseDateText(text, 2026), expected) << QString::fromUtf16(text).toStdString();
}

TEST(ParseDateText, TwoDigitYearFallsInTheWindowEndingTenYearsAhead) {
    EXPECT_EQ(ParseDateText(u"1/1/36 1:00am", 2026)->date().year(), 2036);
    EXPECT_EQ(ParseDateText(u"1/1/37 1:00am", 2026)->date().year(), 1937);
    EXPECT_EQ(ParseDateText(u"1/1/00 1:00am", 2026)->date().year(), 2000);
    EXPECT_EQ(ParseDateText(u"1/1/99 1:00am", 2026)->date().year(), 1999);
    EXPECT_EQ(ParseDateText(u"1/1/10 1:00am", 2000)->date().year(), 2010);
    EXPECT_EQ(ParseDateText(u"1/1/11 1:00am", 2000)->date().year(), 1911);
    EXPECT_EQ(ParseDateText(u"1/1/89 1:00am", 2079)->date().year(), 2089);
    EXPECT_EQ(ParseDateText(u"1/1/90 1:00am", 2079)->date().year(), 1990);
    EXPECT_EQ(ParseDateText(u"1/1/1936 1:00am", 2026)->date().year(), 1936);
    // The leap day of a windowed year is checked after the window is applied.
    EXPECT_TRUE(ParseDateText(u"2/29/00 1:00am", 2026));
    EXPECT_FALSE(ParseDateText(u"2/29/00 1:00am", 2095)); // 2100 is no leap year
}

TEST(ParseDateText, RefusesAnythingElse) {
    for (const char16_t* text :
         {u"", u"3/5/98", u"3/5/98 2:07", u"25/12/98 10:05pm", u"2/30/98 1:00pm", u"2/29/99 1:00pm",
          u"3/5/98 13:07pm", u"3/5/98 0:07am", u"3/5/98 2:7pm", u"3/5/998 2:07pm",
          u"3/5/98 2:07:5pm", u"3/5/98 2:07:60pm", u"3/5/98 2:60pm", u"3/5/98 2:07xm",
          u"3/5/98 2:07pmx", u"3-5-98 2:07pm", u"3/5/982:07pm", u"3/5/0000 2:07pm",
          u"1998-03-05 14:07:00"})
        EXPECT_FALSE(ParseDateText(text, 2026)) << QString::fromUtf16(text).toStdString();
}

TEST(StoredTextValues, KilobytesOfSizeText) {
    for (double bytes : {0.0, 1025.0, 1048577.0, 5e6, 1e15})
        EXPECT_EQ(KilobytesOfSizeText(SizeText(bytes)), std::ceil(std::max(bytes, 1.0) / 1024));
    EXPECT_EQ(KilobytesOfSizeText(u"        1,024KB"), 1024);
    EXPECT_EQ(KilobytesOfSizeText("        1,024KB"), 1024);
    EXPECT_EQ(KilobytesOfSizeText(u"12kb"), 12);
    EXPECT_EQ(KilobytesOfSizeText(u"1.5KB"), 1.5);
    for (const char16_t* text :
         {u"", u"K", u"KB", u"   KB", u"12", u"12 MB", u"1,0x4KB", u"1.2.3KB", u"-5KB", u",KB"}) {
        EXPECT_FALSE(KilobytesOfSizeText(text)) << QString::fromUtf16(text).toStdString();
        EXPECT_FALSE(KilobytesOfSizeText(QString::fromUtf16(text).toStdString()));
    }
}

TEST(StoredTextValues, MomentOfDateTextCountsWallClockSecondsSince1970) {
    EXPECT_EQ(MomentOfDateText(u"1/1/70 12:00am", 2026), 0);
    EXPECT_EQ(MomentOfDateText(u"12/31/69 11:59pm", 2026), -60);
    EXPECT_EQ(MomentOfDateText(u"3/5/1998 2:07:22 PM", 2026), 889106842);
    EXPECT_FALSE(MomentOfDateText(u"3/5/98", 2026));
    EXPECT_FALSE(MomentOfDateText("garbage", 2026));

    QRandomGenerator random(5);
    for (int i = 0; i < 20000; ++i) {
        const QDateTime moment(QDate(1940, 1, 1).addDays(random.bounded(90 * 366)),
                               QTime(0, 0).addSecs(60 * random.bounded(1440)), Qt::UTC);
        const QString text = DateText(moment);
        const qint64 expected = moment.toSecsSinceEpoch();
        ASSERT_EQ(MomentOfDateText(text, 2026), expected) << text.toStdString();
        ASSERT_EQ(MomentOfDateText(text.toStdString(), 2026), expected) << text.toStdString();
    }
}

TEST(StoredTextValues, CurrentYearIsTheCalendarsYear) {
    EXPECT_EQ(CurrentYear(), QDate::currentDate().year());
}
