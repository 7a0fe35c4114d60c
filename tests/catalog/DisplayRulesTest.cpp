#include "catalog/DisplayRules.h"

#include <gtest/gtest.h>

using namespace kestro;

namespace {

QString spaces(int n) {
    return QString(n, QLatin1Char(' '));
}

} // namespace

TEST(SmartCaps, CapitalisesOnlyAfterSpaces) {
    const std::pair<QString, QString> cases[] = {
        {"MY ZIP DISK", "My Zip Disk"},
        {"readme.TXT", "Readme.txt"},
        {"DOS-GAMES", "Dos-games"},
        {"dir_name.EXT\\SUB 2ND", "Dir_name.ext\\sub 2nd"},
        {" name", " Name"},
        {"a  b", "A  B"},
        {"ends in space ", "Ends In Space "},
        {"x", "X"},
        {"ÉCOLE ÜBER àla", "École Über Àla"},
        {"", ""},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(SmartCaps(text, true), expected) << text.toStdString();
    EXPECT_EQ(SmartCaps("MY ZIP DISK", false), "MY ZIP DISK");
    EXPECT_EQ(SmartCaps(" readme.TXT", false), " readme.TXT");
}

TEST(NullToEmpty, TextFormOfEveryKindOfValue) {
    EXPECT_EQ(NullToEmpty(SqlValue{}), "");
    EXPECT_EQ(NullToEmpty(SqlValue{qint64(0)}), "0");
    EXPECT_EQ(NullToEmpty(SqlValue{qint64(-42)}), "-42");
    EXPECT_EQ(NullToEmpty(SqlValue{std::numeric_limits<qint64>::max()}), "9223372036854775807");
    EXPECT_EQ(NullToEmpty(SqlValue{1457664.0}), "1457664");
    EXPECT_EQ(NullToEmpty(SqlValue{1.5}), "1.5");
    EXPECT_EQ(NullToEmpty(SqlValue{1e15}), "1000000000000000");
    EXPECT_EQ(NullToEmpty(SqlValue{QString("  12/25/98 10:05pm")}), "  12/25/98 10:05pm");
    EXPECT_EQ(NullToEmpty(SqlValue{QString()}), "");
}

TEST(CountText, GroupsThousandsRightAlignedInFifteen) {
    EXPECT_EQ(CountText(0), spaces(14) + "0");
    EXPECT_EQ(CountText(1874), spaces(10) + "1,874");
    EXPECT_EQ(CountText(999), spaces(12) + "999");
    EXPECT_EQ(CountText(1000), spaces(10) + "1,000");
    EXPECT_EQ(CountText(-1874), spaces(9) + "-1,874");
    EXPECT_EQ(CountText(1234567890123), "1,234,567,890,123");
    EXPECT_EQ(CountText(123456789012345), "123,456,789,012,345"); // longer, never cut
}

TEST(CountText, StoredValuesOfAnyKind) {
    EXPECT_EQ(CountText(SqlValue{}), spaces(15));
    EXPECT_EQ(CountText(SqlValue{qint64(1874)}), spaces(10) + "1,874");
    EXPECT_EQ(CountText(SqlValue{1874.0}), spaces(10) + "1,874");
    EXPECT_EQ(CountText(SqlValue{2.5}), spaces(14) + "3");
    EXPECT_EQ(CountText(SqlValue{-2.5}), spaces(13) + "-3");
    EXPECT_EQ(CountText(SqlValue{QString(" 1874")}), spaces(10) + "1,874");
    EXPECT_EQ(CountText(SqlValue{QString("n/a")}), spaces(12) + "n/a");
    EXPECT_EQ(CountText(SqlValue{1e30}), spaces(10) + "1e+30");
}

TEST(TableNameOf, TextBeforeTheFirstUnderscore) {
    EXPECT_EQ(TableNameOf(u"71330842_D:\\MY_GAMES"), "71330842");
    EXPECT_EQ(TableNameOf(u"71330842_D:"), "71330842");
    EXPECT_EQ(TableNameOf(u"71330842_dirs"), "71330842");
    EXPECT_EQ(TableNameOf(u"71330842"), "71330842");
    EXPECT_EQ(TableNameOf(u"~"), "~");
    EXPECT_EQ(TableNameOf(u"_x"), "");
    EXPECT_EQ(TableNameOf(u""), "");
}

TEST(ZeroKilobyteText, FullAndEmptyVolumesShowZero) {
    EXPECT_EQ(ZeroKilobyteText(0), spaces(12) + "0KB");
    EXPECT_EQ(ZeroKilobyteText(1), spaces(12) + "0KB");
    EXPECT_EQ(ZeroKilobyteText(1024), spaces(12) + "0KB");
    EXPECT_EQ(ZeroKilobyteText(1025), spaces(12) + "2KB");
    EXPECT_EQ(ZeroKilobyteText(11264), spaces(11) + "11KB");
    EXPECT_EQ(ZeroKilobyteText(1025024), spaces(8) + "1,001KB");
}

TEST(DisplayDateText, DayFirstWhenEuropean) {
    EXPECT_EQ(DisplayDateText("12/25/98 10:05PM", true), "25/12/1998 10:05:00 pm");
    EXPECT_EQ(DisplayDateText("3/5/1998 2:07:22 PM", true), "5/3/1998 2:07:22 pm");
    EXPECT_EQ(DisplayDateText("1/2/2000 12:00am", true), "2/1/2000 12:00:00 am");
    EXPECT_EQ(DisplayDateText("1/2/2000 12:00pm", true), "2/1/2000 12:00:00 pm");
    EXPECT_EQ(DisplayDateText("", true), "");
}

TEST(DisplayDateText, UnreadableOrOffShowsTheTextAsStored) {
    EXPECT_EQ(DisplayDateText("12/25/98 10:05PM", false), "12/25/98 10:05PM");
    EXPECT_EQ(DisplayDateText("25/12/98 10:05pm", true), "25/12/98 10:05pm");
    EXPECT_EQ(DisplayDateText("not a date", true), "not a date");
    EXPECT_EQ(DisplayDateText("2/30/98 1:00pm", true), "2/30/98 1:00pm");
}
