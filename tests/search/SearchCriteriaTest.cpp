#include "catalog/StoredTexts.h"
#include "search/NamePattern.h"
#include "search/SearchCondition.h"
#include "search/SearchInputs.h"

#include <gtest/gtest.h>

using namespace kestro;

namespace {

constexpr int kThisYear = 2026;

// The moment kestro_moment gives a stored date text.
qint64 momentOf(const char* dateText) {
    return *MomentOfDateText(QString::fromLatin1(dateText), kThisYear);
}

SearchCondition conditionOf(const SearchCriteria& criteria) {
    return SearchCondition::fromCriteria(criteria, kThisYear);
}

SearchCriteria betweenDates(const char* first, const char* second, bool european = false) {
    SearchCriteria criteria;
    criteria.between = true;
    criteria.firstDate = QString::fromLatin1(first);
    criteria.secondDate = QString::fromLatin1(second);
    criteria.europeanDates = european;
    return criteria;
}

std::vector<SqlValue> days(const char* firstDay, const char* lastDay) {
    return {momentOf((std::string(firstDay) + " 12:00am").c_str()),
            momentOf((std::string(lastDay) + " 11:59pm").c_str()) + 59};
}

} // namespace

TEST(NamePatternOf, TheWindowsExamples) {
    const std::pair<const char*, const char*> examples[] = {
        {"report", "*report*"}, {"rep*", "rep*"}, {"*.doc", "*.doc"},
        {"*doc*", "*doc*"},     {"?abc", "*abc"}, {"a?c", "ac*"},
        {"abc*.*", "abc*"},     {"*.*", "**"},    {"*", "**"},
        {"**", "**"},           {"***", "*"},     {"", "**"},
        {"a*b*c", "abc*"},      {"?", "*"},       {"100%", "*100%*"},
        {"[1]", "*[1]*"},
    };
    for (const auto& [named, pattern] : examples)
        EXPECT_EQ(NamePatternOf(QString::fromUtf8(named)), QString::fromUtf8(pattern)) << named;
}

TEST(SearchInputs, DatesInTheOrderOfTheDateSetting) {
    EXPECT_EQ(ReadSearchDate(u"12/25/98", false, kThisYear), QDate(1998, 12, 25));
    EXPECT_EQ(ReadSearchDate(u"25/12/98", true, kThisYear), QDate(1998, 12, 25));
    EXPECT_EQ(ReadSearchDate(u" 1/2/2003 ", false, kThisYear), QDate(2003, 1, 2));
    EXPECT_EQ(ReadSearchDate(u"1/2/2003", true, kThisYear), QDate(2003, 2, 1));
    // Two-digit years fall in the hundred years ending ten years from now.
    EXPECT_EQ(ReadSearchDate(u"1/1/36", false, kThisYear), QDate(2036, 1, 1));
    EXPECT_EQ(ReadSearchDate(u"1/1/37", false, kThisYear), QDate(1937, 1, 1));
    EXPECT_EQ(ReadSearchDate(u"2/29/2000", false, kThisYear), QDate(2000, 2, 29));
    for (const char16_t* invalid :
         {u"25/12/98", u"2/29/1999", u"0/1/98", u"1/1/198", u"1-1-98", u"1998-12-25", u"12/25", u"",
          u"12/25/98 1:00pm", u"a/b/cc", u"1/1/0000", u"١/١/٩٨"})
        EXPECT_FALSE(ReadSearchDate(invalid, false, kThisYear))
            << QString::fromUtf16(invalid).toStdString();
    EXPECT_FALSE(ReadSearchDate(u"12/25/98", true, kThisYear)) << "no 25th month";
}

TEST(SearchInputs, KilobytesArePlainNumbers) {
    EXPECT_EQ(ReadSearchKilobytes(u"100"), 100.0);
    EXPECT_EQ(ReadSearchKilobytes(u" 1,234 "), 1234.0);
    EXPECT_EQ(ReadSearchKilobytes(u"1,234,567"), 1234567.0);
    EXPECT_EQ(ReadSearchKilobytes(u"1.5"), 1.5);
    EXPECT_EQ(ReadSearchKilobytes(u"5."), 5.0);
    EXPECT_EQ(ReadSearchKilobytes(u".5"), 0.5);
    for (const char16_t* invalid : {u"", u" ", u"abc", u"12KB", u"1,23", u"12,", u"-5", u".",
                                    u"1e3", u"1 000", u"inf", u"0x10"})
        EXPECT_FALSE(ReadSearchKilobytes(invalid)) << QString::fromUtf16(invalid).toStdString();
    EXPECT_FALSE(ReadSearchKilobytes(QString(400, '9'))) << "too large to be a number";
}

TEST(SearchCondition, NoCriterionMatchesEveryRow) {
    const SearchCondition condition = conditionOf({});
    EXPECT_TRUE(condition.isEmpty());
    EXPECT_TRUE(condition.values().empty());
    SearchCriteria ignored;
    ignored.between = true;              // with no dates
    ignored.sizeComparison = "at least"; // with no size
    EXPECT_TRUE(conditionOf(ignored).isEmpty());
}

TEST(SearchCondition, EachCriterionIsSqlWithBoundValues) {
    SearchCriteria name;
    name.named = "tom's \"100%\" [a_b]";
    EXPECT_EQ(conditionOf(name).sql(), "kestro_like(?, name)");
    EXPECT_EQ(conditionOf(name).values(), std::vector<SqlValue>{QString("*tom's \"100%\" [a_b]*")});

    SearchCriteria description;
    description.descriptionContains = "*final* 50%";
    EXPECT_EQ(conditionOf(description).sql(), "kestro_contains(?, thedescription)");
    EXPECT_EQ(conditionOf(description).values(), std::vector<SqlValue>{QString("*final* 50%")});

    const std::pair<const char*, const char*> sizes[] = {
        {"at least", ">="}, {"at most", "<="}, {"equal to", "="}, {"anything else", "="}};
    for (const auto& [comparison, op] : sizes) {
        SearchCriteria size;
        size.sizeComparison = comparison;
        size.sizeKilobytes = "1,024";
        EXPECT_EQ(conditionOf(size).sql(), std::string("kestro_kb(size) ") + op + " ?");
        EXPECT_EQ(conditionOf(size).values(), std::vector<SqlValue>{1024.0});
    }
    SearchCriteria notNumeric;
    notNumeric.sizeComparison = "at least";
    notNumeric.sizeKilobytes = "lots";
    EXPECT_TRUE(conditionOf(notNumeric).isEmpty());
}

TEST(SearchCondition, DatesCoverWholeDaysFromTheEarlierToTheLater) {
    const std::string between = "kestro_moment(thedate) BETWEEN ? AND ?";
    EXPECT_EQ(conditionOf(betweenDates("12/25/98", "12/31/98")).sql(), between);
    EXPECT_EQ(conditionOf(betweenDates("12/25/98", "12/31/98")).values(),
              days("12/25/98", "12/31/98"));
    EXPECT_EQ(conditionOf(betweenDates("25/12/98", "31/12/98", true)).values(),
              days("12/25/98", "12/31/98"));
    EXPECT_EQ(conditionOf(betweenDates("12/25/1998", "12/25/98")).values(),
              days("12/25/98", "12/25/98"))
        << "equal dates are one day";
    EXPECT_EQ(conditionOf(betweenDates("12/31/98", "12/25/98")).values(),
              days("12/25/98", "12/31/98"))
        << "the later date may come first";
    EXPECT_TRUE(conditionOf(betweenDates("12/25/98", "12/32/98")).isEmpty());
    EXPECT_TRUE(conditionOf(betweenDates("", "12/25/98")).isEmpty());
    EXPECT_TRUE(conditionOf(betweenDates("25/12/98", "31/12/98", false)).isEmpty());
    SearchCriteria allFiles = betweenDates("12/25/98", "12/31/98");
    allFiles.between = false;
    EXPECT_TRUE(conditionOf(allFiles).isEmpty()) << "\"All Files\" chosen";
}

TEST(SearchCondition, CriteriaJoinInTheWindowsOrder) {
    SearchCriteria all = betweenDates("1/1/99", "1/2/99");
    all.named = "a";
    all.descriptionContains = "x";
    all.sizeComparison = "at most";
    all.sizeKilobytes = "7";
    const SearchCondition condition = conditionOf(all);
    EXPECT_EQ(condition.sql(),
              "kestro_like(?, name) AND kestro_moment(thedate) BETWEEN ? AND ? AND "
              "kestro_contains(?, thedescription) AND kestro_kb(size) <= ?");
    std::vector<SqlValue> values{QString("*a*")};
    for (const SqlValue& day : days("1/1/99", "1/2/99"))
        values.push_back(day);
    values.push_back(QString("x"));
    values.push_back(7.0);
    EXPECT_EQ(condition.values(), values);
}
