#include "search/NamePattern.h"
#include "search/SearchCondition.h"
#include "search/SearchInputs.h"

#include <gtest/gtest.h>

using namespace kestro;

TEST(NamePatternOf, TheWindowsExamples) {
    const std::pair<const char*, const char*> examples[] = {
        {"report", "*report*"}, {"rep*", "rep*"}, {"*.doc", "*.doc"},
        {"*doc*", "*doc*"},     {"?abc", "*abc"}, {"a?c", "ac*"},
        {"abc*.*", "abc*"},     {"*.*", "**"},    {"*", "**"},
        {"**", "**"},           {"", "**"},       {"a*b*c", "abc*"},
        {"100%", "*100%*"},     {"[1]", "*[1]*"},
    };
    for (const auto& [named, pattern] : examples)
        EXPECT_EQ(NamePatternOf(named), pattern) << named;
}

TEST(SearchInputs, DatesInTheOrderOfTheDateSetting) {
    constexpr int kThisYear = 2026;
    EXPECT_EQ(ReadSearchDate(u"12/25/98", false, kThisYear), QDate(1998, 12, 25));
    EXPECT_EQ(ReadSearchDate(u"25/12/98", true, kThisYear), QDate(1998, 12, 25));
    EXPECT_EQ(ReadSearchDate(u" 1/2/2003 ", true, kThisYear), QDate(2003, 2, 1));
    // Two-digit years fall in the hundred years ending ten years from now.
    EXPECT_EQ(ReadSearchDate(u"1/1/36", false, kThisYear), QDate(2036, 1, 1));
    EXPECT_EQ(ReadSearchDate(u"1/1/37", false, kThisYear), QDate(1937, 1, 1));
    for (const char16_t* invalid : {u"25/12/98", u"2/29/1999", u"0/1/98", u"1/1/198", u"1-1-98",
                                    u"12/25", u"", u"12/25/98 1:00pm", u"1/1/0000", u"١/١/٩٨"})
        EXPECT_FALSE(ReadSearchDate(invalid, false, kThisYear))
            << QString::fromUtf16(invalid).toStdString();
}

TEST(SearchInputs, KilobytesArePlainNumbers) {
    EXPECT_EQ(ReadSearchKilobytes(u" 1,234 "), 1234.0);
    EXPECT_EQ(ReadSearchKilobytes(u"1.5"), 1.5);
    EXPECT_EQ(ReadSearchKilobytes(u"5."), 5.0);
    for (const char16_t* invalid :
         {u"", u"abc", u"12KB", u"1,23", u"-5", u".", u"1e3", u"1 000", u"inf"})
        EXPECT_FALSE(ReadSearchKilobytes(invalid)) << QString::fromUtf16(invalid).toStdString();
    EXPECT_FALSE(ReadSearchKilobytes(QString(400, '9'))) << "too large to be a number";
}

TEST(SearchCondition, EveryCriterionIsABoundValueJoinedInTheWindowsOrder) {
    SearchCriteria all;
    all.named = "tom's \"100%\"";
    all.between = true;
    all.firstDate = "1/2/99"; // the later day first
    all.secondDate = "1/1/99";
    all.descriptionContains = "x'\"";
    all.sizeComparison = "at most";
    all.sizeKilobytes = "7";
    const SearchCondition condition = SearchCondition::fromCriteria(all, 2026);
    EXPECT_EQ(condition.sql(),
              "kestro_like(?, name) AND kestro_moment(thedate) BETWEEN ? AND ? AND "
              "kestro_contains(?, thedescription) AND kestro_kb(size) <= ?");
    const std::vector<SqlValue> values{
        QString("*tom's \"100%\"*"), *MomentOfDateText(u"1/1/99 12:00am", 2026),
        *MomentOfDateText(u"1/2/99 11:59:59 pm", 2026), QString("x'\""), 7.0};
    EXPECT_EQ(condition.values(), values);
}
