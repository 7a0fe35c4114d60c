#include "catalog/DisplayRules.h"

#include <gtest/gtest.h>

using namespace kestro;

namespace {

QString spaces(int n) {
    return QString(n, QLatin1Char(' '));
}

} // namespace

TEST(DisplayRules, SmartCapsCapitalisesOnlyAfterSpaces) {
    const std::pair<QString, QString> cases[] = {{"MY ZIP DISK", "My Zip Disk"},
                                                 {"readme.TXT", "Readme.txt"},
                                                 {"DOS-GAMES", "Dos-games"},
                                                 {"dir_x.EXT\\SUB 2ND", "Dir_x.ext\\sub 2nd"},
                                                 {" name", " Name"},
                                                 {"a  b", "A  B"},
                                                 {"ends in space ", "Ends In Space "},
                                                 {"ÉCOLE ÜBER àla", "École Über Àla"},
                                                 {"", ""}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(SmartCaps(text, true), expected) << text.toStdString();
        EXPECT_EQ(SmartCaps(text, false), text);
    }
}

TEST(DisplayRules, NullToEmptyGivesTheTextFormOfEveryKindOfValue) {
    EXPECT_EQ(NullToEmpty(SqlValue{}), "");
    EXPECT_EQ(NullToEmpty(SqlValue{qint64(-42)}), "-42");
    EXPECT_EQ(NullToEmpty(SqlValue{1e15}), "1000000000000000");
    EXPECT_EQ(NullToEmpty(SqlValue{QString(" 3/5/98 2:07pm")}), " 3/5/98 2:07pm");
}

TEST(DisplayRules, CountTextGroupsThousandsRightAlignedInFifteen) {
    EXPECT_EQ(CountText(0), spaces(14) + "0");
    EXPECT_EQ(CountText(999), spaces(12) + "999");
    EXPECT_EQ(CountText(1874), spaces(10) + "1,874");
    EXPECT_EQ(CountText(-1874), spaces(9) + "-1,874");
    EXPECT_EQ(CountText(123456789012345), "123,456,789,012,345"); // never cut
    EXPECT_EQ(CountText(std::numeric_limits<qint64>::min()), "-9,223,372,036,854,775,808");
    EXPECT_EQ(CountText(SqlValue{}), spaces(15));
    EXPECT_EQ(CountText(SqlValue{qint64(1874)}), spaces(10) + "1,874");
    EXPECT_EQ(CountText(SqlValue{1874.0}), spaces(10) + "1,874");
    EXPECT_EQ(CountText(SqlValue{-2.5}), spaces(13) + "-3"); // half away from zero
    EXPECT_EQ(CountText(SqlValue{QString(" 1874")}), spaces(10) + "1,874");
    EXPECT_EQ(CountText(SqlValue{QString("n/a")}), spaces(12) + "n/a");
    EXPECT_EQ(CountText(SqlValue{1e30}), spaces(10) + "1e+30");
}

TEST(DisplayRules, TableNameOfIsTheTextBeforeTheFirstUnderscore) {
    for (const char16_t* key : {u"71330842_D:\\MY_GAMES", u"71330842_D:", u"71330842_dirs"})
        EXPECT_EQ(TableNameOf(key), "71330842");
    EXPECT_EQ(TableNameOf(u"~"), "~");
    EXPECT_EQ(TableNameOf(u"_x"), "");
}

TEST(DisplayRules, ZeroKilobyteTextShowsFullAndEmptyVolumesAsZero) {
    for (double bytes : {0.0, 1.0, 1024.0})
        EXPECT_EQ(ZeroKilobyteText(bytes), spaces(12) + "0KB") << bytes;
    EXPECT_EQ(ZeroKilobyteText(1025), spaces(12) + "2KB");
    EXPECT_EQ(ZeroKilobyteText(11264), spaces(11) + "11KB");
    EXPECT_EQ(ZeroKilobyteText(1025024), spaces(8) + "1,001KB");
}

TEST(DisplayRules, DisplayDateTextDayFirstOrAsStored) {
    EXPECT_EQ(DisplayDateText("12/25/98 10:05PM", true), "25/12/1998 10:05:00 pm");
    EXPECT_EQ(DisplayDateText("3/5/1998 2:07:22 PM", true), "5/3/1998 2:07:22 pm");
    EXPECT_EQ(DisplayDateText("1/2/2000 12:00am", true), "2/1/2000 12:00:00 am");
    EXPECT_EQ(DisplayDateText("12/25/98 10:05PM", false), "12/25/98 10:05PM");
    // Empty stays empty; what cannot be read as a date is shown, never dropped.
    for (const char* stored : {"", "25/12/98 10:05pm", "not a date", "2/30/98 1:00pm"})
        EXPECT_EQ(DisplayDateText(stored, true), stored);
}
