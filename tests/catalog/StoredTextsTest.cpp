#include "catalog/StoredTexts.h"

#include <QRandomGenerator>
#include <QTime>
#include <cmath>
#include <gtest/gtest.h>

using namespace kestro;

namespace {

// `text` right-aligned in a size-text field.
QString padded(const QString& text) {
    return text.rightJustified(kNumberFieldWidth, ' ');
}

QString sizeTextOfBytes(quint64 bytes) {
    std::string out;
    appendSizeText(bytes, out);
    return QString::fromStdString(out);
}

QDateTime at(int year, int month, int day, int hour, int minute, int second = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

} // namespace

TEST(SizeText, WholeKilobytesRoundedUpAtLeastOneGroupedAndRightAligned) {
    EXPECT_EQ(SizeText(0), "            1KB");
    for (double bytes : {1.0, 1023.0, 1024.0, -5.0, std::nan("")})
        EXPECT_EQ(SizeText(bytes), padded("1KB")) << bytes;
    for (double bytes : {1024.5, 1025.0, 1536.0, 2048.0}) // part of a byte still counts
        EXPECT_EQ(SizeText(bytes), padded("2KB")) << bytes;
    EXPECT_EQ(SizeText(2049), padded("3KB"));
    EXPECT_EQ(SizeText(1048576), "        1,024KB");
    EXPECT_EQ(SizeText(1048577), padded("1,025KB"));
    EXPECT_EQ(SizeText(5000000), padded("4,883KB"));
    EXPECT_EQ(SizeText(std::pow(1024.0, 4)), "1,073,741,824KB");     // exactly 15
    EXPECT_EQ(SizeText(std::pow(1024.0, 5)), "1,099,511,627,776KB"); // never cut
    EXPECT_EQ(SizeText(1e30), "18,014,398,509,481,984KB");           // the largest count
    // Exact beyond floating point: 2^60 + 1 bytes is one byte over 2^50 KB.
    EXPECT_EQ(sizeTextOfBytes((quint64(1) << 60) + 1), "1,125,899,906,842,625KB");
}

TEST(SizeText, ByteVariantAppendsTheSameTextOverAWideSweep) {
    std::string out = "x";
    appendSizeText(1025, out);
    EXPECT_EQ(out, "x            2KB");
    for (quint64 bytes = 0; bytes < 300000; bytes += 1 + bytes / 50)
        ASSERT_EQ(sizeTextOfBytes(bytes), SizeText(double(bytes))) << bytes;
    QRandomGenerator random(7);
    for (int i = 0; i < 100000; ++i) {
        const quint64 bytes = random.generate64() >> random.bounded(11, 64); // exact as doubles
        ASSERT_EQ(sizeTextOfBytes(bytes), SizeText(double(bytes))) << bytes;
    }
}

TEST(DateText, TwelveHourClockAndTwoDigitYearOrCatalogMomentWithSeconds) {
    EXPECT_EQ(DateText(at(1998, 3, 5, 14, 7, 59)), "3/5/98 2:07pm");
    EXPECT_EQ(DateText(at(1998, 12, 25, 0, 0)), "12/25/98 12:00am");
    EXPECT_EQ(DateText(at(1998, 12, 25, 11, 59)), "12/25/98 11:59am");
    EXPECT_EQ(DateText(at(1998, 12, 25, 12, 0)), "12/25/98 12:00pm");
    EXPECT_EQ(DateText(at(1999, 12, 31, 23, 59)), "12/31/99 11:59pm");
    EXPECT_EQ(DateText(at(2000, 1, 1, 0, 59)), "1/1/00 12:59am");
    EXPECT_EQ(CatalogMomentText(at(1998, 3, 5, 14, 7, 22)), "3/5/1998 2:07:22 PM");
    EXPECT_EQ(CatalogMomentText(at(2000, 1, 1, 0, 0, 5)), "1/1/2000 12:00:05 AM");
    EXPECT_EQ(DateText(QDateTime()), "");
    EXPECT_EQ(CatalogMomentText(QDateTime()), "");
}

TEST(DateText, ListingDateConvertsLikeTheDateItNames) {
    QRandomGenerator random(11);
    for (int i = 0; i < 20000; ++i) {
        const QDateTime moment(QDate(1900, 1, 1).addDays(random.bounded(200 * 366)),
                               QTime(0, 0).addSecs(random.bounded(86400)));
        const std::string listing = moment.toString("yyyy-MM-dd HH:mm:ss").toStdString();
        std::string out;
        ASSERT_TRUE(appendDateTextFromListing(listing, out)) << listing;
        ASSERT_EQ(QString::fromStdString(out), DateText(moment)) << listing;
    }
    for (const char* bad : {"", "1998-03-05 14:07", "1998-3-05 14:07:00", "1998/03/05 14:07:00",
                            "1998-03-05T14:07:00", "1998-03-05 14:07:00\r", " 1998-03-05 14:07:00",
                            "1998-02-29 10:00:00", "1900-02-29 10:00:00", "1998-13-01 10:00:00",
                            "1998-00-10 10:00:00", "1998-04-31 10:00:00", "1998-01-01 24:00:00",
                            "1998-01-01 10:60:00", "1998-01-01 10:00:60", "0000-01-01 00:00:00",
                            "1998-01-01 \xc3\xa9:00:00"}) {
        std::string out = "kept";
        EXPECT_FALSE(appendDateTextFromListing(bad, out)) << bad;
        EXPECT_EQ(out, "kept");
    }
}

TEST(ParseDateText, ReadsBackBothFormsAndToleratesTheirVariants) {
    const QDateTime moment = at(1998, 3, 5, 14, 7, 22);
    EXPECT_EQ(ParseDateText(DateText(moment), 2026), at(1998, 3, 5, 14, 7));
    EXPECT_EQ(ParseDateText(CatalogMomentText(moment), 2026), moment);
    EXPECT_EQ(ParseDateText(u"12/25/98 12:00am", 2026), at(1998, 12, 25, 0, 0));
    EXPECT_EQ(ParseDateText(u"12/25/98 12:30pm", 2026), at(1998, 12, 25, 12, 30));
    for (const char16_t* text : {u"3/5/98 2:07PM", u"3/5/98 2:07 Pm", u"03/05/1998 02:07:00 pm",
                                 u"3/5/98  2:07pm", u" 3/5/98 2:07pm "})
        EXPECT_EQ(ParseDateText(text, 2026), at(1998, 3, 5, 14, 7))
            << QString::fromUtf16(text).toStdString();
}

TEST(ParseDateText, TwoDigitYearFallsInTheWindowEndingTenYearsAhead) {
    const std::tuple<const char16_t*, int, int> cases[] = {
        {u"1/1/36 1:00am", 2026, 2036}, {u"1/1/37 1:00am", 2026, 1937},
        {u"1/1/00 1:00am", 2026, 2000}, {u"1/1/10 1:00am", 2000, 2010},
        {u"1/1/11 1:00am", 2000, 1911}, {u"1/1/1936 1:00am", 2026, 1936}};
    for (const auto& [text, currentYear, year] : cases)
        EXPECT_EQ(ParseDateText(text, currentYear)->date().year(), year)
            << QString::fromUtf16(text).toStdString() << " in " << currentYear;
    // The leap day of a windowed year is checked after the window is applied.
    EXPECT_TRUE(ParseDateText(u"2/29/00 1:00am", 2026));
    EXPECT_FALSE(ParseDateText(u"2/29/00 1:00am", 2095)); // 2100 is no leap year
}

TEST(ParseDateText, RefusesAnythingElse) {
    for (const char16_t* text :
         {u"", u"3/5/98", u"3/5/98 2:07", u"25/12/98 10:05pm", u"2/29/99 1:00pm", u"3/5/98 13:07pm",
          u"3/5/98 0:07am", u"3/5/98 2:7pm", u"3/5/998 2:07pm", u"3/5/98 2:07:5pm",
          u"3/5/98 2:60pm", u"3/5/98 2:07xm", u"3/5/98 2:07pmx", u"3-5-98 2:07pm",
          u"3/5/0000 2:07pm", u"1998-03-05 14:07:00"})
        EXPECT_FALSE(ParseDateText(text, 2026)) << QString::fromUtf16(text).toStdString();
}

TEST(StoredTextValues, KilobytesOfSizeText) {
    for (double bytes : {0.0, 1025.0, 1048577.0, 1e15})
        EXPECT_EQ(KilobytesOfSizeText(SizeText(bytes)), std::ceil(std::max(bytes, 1.0) / 1024));
    EXPECT_EQ(KilobytesOfSizeText("        1,024KB"), 1024);
    EXPECT_EQ(KilobytesOfSizeText(u"12kb"), 12);
    EXPECT_EQ(KilobytesOfSizeText(u"1.5KB"), 1.5);
    // Fraction digits beyond a double's precision once overflowed into NaN.
    EXPECT_DOUBLE_EQ(*KilobytesOfSizeText(".242,0242" + std::string(400, '0') + "KB"), 0.2420242);
    for (const char* text : {"", "KB", "   KB", "12", "12 MB", "1,0x4KB", "1.2.3KB", "-5KB"}) {
        EXPECT_FALSE(KilobytesOfSizeText(text)) << text;
        EXPECT_FALSE(KilobytesOfSizeText(QString(text))) << text;
    }
}

TEST(StoredTextValues, MomentOfDateTextCountsWallClockSecondsSince1970) {
    EXPECT_EQ(MomentOfDateText(u"1/1/70 12:00am", 2026), 0);
    EXPECT_EQ(MomentOfDateText(u"12/31/69 11:59pm", 2026), -60);
    EXPECT_EQ(MomentOfDateText(u"3/5/1998 2:07:22 PM", 2026), 889106842);
    EXPECT_FALSE(MomentOfDateText("3/5/98", 2026));
    QRandomGenerator random(5);
    for (int i = 0; i < 20000; ++i) {
        const QDateTime moment(QDate(1940, 1, 1).addDays(random.bounded(90 * 366)),
                               QTime(0, 0).addSecs(60 * random.bounded(1440)), Qt::UTC);
        const QString text = DateText(moment);
        ASSERT_EQ(MomentOfDateText(text, 2026), moment.toSecsSinceEpoch()) << text.toStdString();
        ASSERT_EQ(MomentOfDateText(text.toStdString(), 2026), moment.toSecsSinceEpoch());
    }
}
