#include "ScratchCatalog.h"
#include "catalog/DisplayRules.h"
#include "catalog/PathBelowRoot.h"
#include "catalog/SqlFunctions.h"

#include <gtest/gtest.h>

using namespace kestro;
using test::Engine;
using test::OnEachEngine;

namespace {

struct PatternCase {
    const char* pattern;
    const char* text;
    bool matches;
};

// Held against the matcher in C++ and against kestro_like on each engine.
const PatternCase kPatternCases[] = {
    {"*report*", "Annual REPORT 1998.doc", true},
    {"*zip*", "ZIP.TXT", true}, // A to Z fold, both ends
    {"*a*", "ARC", true},
    {"rep*", "report", true},
    {"rep*", "a report", false},
    {"*.doc", "letter.DOC", true},
    {"*.doc", "letter.docx", false},
    {"a?c", "abc", true},
    {"a?c", "ac", false},
    {"**", "", true},
    {"**", "anything", true},
    {"*100%*", "100% done", true},
    {"*100%*", "1000 done", false},
    {"*a_b*", "xa_by", true},
    {"*a_b*", "xaXby", false},
    {"*[1]*", "track [1].mp3", true},
    {"*[1]*", "track 1.mp3", false},
    {"*tom's*", "Tom's Disk", true},
    {"*\"q\"*", "a \"q\" b", true},
    {"*ab*ab*", "abxxab", true},
    {"*ab*ab*", "abxxa", false},
    {"*größe*", "GRÖSSE ist GRÖßE", true},
    {"*привет*", "ПРИВЕТ мир", true},
    {"*ελλάδα*", "ΕΛΛΆΔΑ", true},
    {"café", "CAFÉ", true},
    {"*\u212A*", "kilo", true}, // the Kelvin sign folds to ASCII
    {"*ü*", "u", false},
    {"a?b", "a😀b", true}, // "?" takes one character, also outside the basic plane
    {"a?b", "a😀😀b", false},
    {"日本?", "日本語", true},
};

} // namespace

TEST(NamePattern, StarAndQuestionMarkAreTheOnlyWildcardsAndLetterCaseIsIgnoredForAllOfUnicode) {
    for (const PatternCase& c : kPatternCases)
        EXPECT_EQ(NameMatcher(QString::fromUtf8(c.pattern)).matches(QString::fromUtf8(c.text)),
                  c.matches)
            << c.pattern << " ~ " << c.text;
}

using SqlFunctions = OnEachEngine;

TEST_P(SqlFunctions, TheNamePatternMatchesAsTheMatcherDoes) {
    for (const PatternCase& c : kPatternCases)
        EXPECT_EQ(
            std::get<qint64>(db.scalar("SELECT kestro_like(?1, ?2)", QString::fromUtf8(c.pattern),
                                       QString::fromUtf8(c.text))),
            c.matches ? 1 : 0)
            << c.pattern << " ~ " << c.text;
}

TEST_P(SqlFunctions, TheNamePatternWorksWithBoundValuesAndNullNeverMatches) {
    int key = 0;
    for (const char* name : {"Müller.TXT", "mueller.txt", "50% off.doc"})
        db.execute("INSERT INTO categories (\"key\", category) VALUES (?1, ?2)", ++key,
                   QString::fromUtf8(name));
    db.execute("INSERT INTO categories (\"key\", category) VALUES (?1, NULL)", ++key);
    auto count = [&](const QString& pattern) {
        return std::get<qint64>(
            db.scalar("SELECT count(*) FROM categories WHERE kestro_like(?1, category)", pattern));
    };
    EXPECT_EQ(count("*MÜLLER*"), 1);
    EXPECT_EQ(count("*.txt"), 2);
    EXPECT_EQ(count("*%*"), 1);
    EXPECT_EQ(count("**"), 3);
}

TEST_P(SqlFunctions, SizeAndDateTextsCompareAsNumbersAndMoments) {
    db.executeScript("CREATE TABLE v_files AS SELECT * FROM template_files;");
    const std::pair<const char*, const char*> rows[] = {
        {"            9KB", "12/31/98 11:59pm"},
        {"           10KB", "1/1/99 12:00am"},
        {"        1,234KB", "3/5/1998 2:07:22 PM"},
        {"junk", "not a date"},
    };
    for (const auto& [size, date] : rows)
        db.execute("INSERT INTO v_files (size, thedate) VALUES (?1, ?2)", size, date);
    // As texts "            9KB" > "           10KB"; as kilobytes it is smaller.
    EXPECT_EQ(
        std::get<qint64>(db.scalar("SELECT count(*) FROM v_files WHERE kestro_kb(size) >= 10")), 2);
    EXPECT_EQ(std::get<double>(
                  db.scalar("SELECT kestro_kb(size) FROM v_files WHERE thedate LIKE '3/5%'")),
              1234.0);
    // Null (no moment) first on both engines.
    Statement byMoment = db.prepare("SELECT size FROM v_files ORDER BY kestro_moment(thedate) IS "
                                    "NOT NULL, kestro_moment(thedate)");
    QStringList sizes;
    while (byMoment.next())
        sizes << byMoment.text(0);
    EXPECT_EQ(sizes.join('|'), "junk|        1,234KB|            9KB|           10KB");
    EXPECT_TRUE(
        isNull(db.scalar("SELECT kestro_moment(thedate) FROM v_files WHERE size = 'junk'")));
    // The years a date may have run from 1 to 9999.
    EXPECT_EQ(db.scalar("SELECT kestro_moment('1/1/0001 12:00:00 AM')"), SqlValue(-62135596800LL));
    EXPECT_EQ(db.scalar("SELECT kestro_moment('12/31/9999 11:59:59 PM')"),
              SqlValue(253402300799LL));
    EXPECT_TRUE(isNull(db.scalar("SELECT kestro_moment('1/1/0000 12:00:00 AM')")));
}

TEST_P(SqlFunctions, ContainsTakesEveryCharacterLiterallyInAnyLetterCase) {
    const auto contains = [&](const char* part, const char* text) {
        const SqlValue v = db.scalar("SELECT kestro_contains(?1, ?2)", QString::fromUtf8(part),
                                     QString::fromUtf8(text));
        return isNull(v) ? -1 : int(std::get<qint64>(v));
    };
    EXPECT_EQ(contains("BUDGET", "the budget 2024"), 1);
    EXPECT_EQ(contains("*final*", "a *FINAL* draft"), 1);
    EXPECT_EQ(contains("*final*", "a final draft"), 0);
    EXPECT_EQ(contains("a?c", "abc"), 0);
    EXPECT_EQ(contains("50%_[x]", "take 50%_[X] off"), 1);
    EXPECT_EQ(contains("größe", "DIE GRÖßE"), 1);
    EXPECT_EQ(contains("e", "CAFÉ"), 0);
    EXPECT_EQ(contains("", "any"), 1);
    EXPECT_EQ(contains("x", ""), 0);
    EXPECT_TRUE(isNull(db.scalar("SELECT kestro_contains('x', NULL)")));
}

TEST_P(SqlFunctions, ThePathBelowTheRootLeavesOutTheDriveAloneInCAndInSql) {
    const std::pair<QString, QString> cases[] = {{"E:\\GAMES\\x", "\\GAMES\\x"},
                                                 {"e:", ""},
                                                 {"Z:\\caf\u00e9 E:", "\\caf\u00e9 E:"},
                                                 {"1:\\x", "1:\\x"},
                                                 {"\u00c9:\\x", "\u00c9:\\x"},
                                                 {"E", "E"},
                                                 {"", ""}};
    for (const auto& [parent, below] : cases) {
        EXPECT_EQ(PathBelowRoot(parent), below) << parent.toStdString();
        EXPECT_EQ(NullToEmpty(db.scalar("SELECT kestro_below_root(?1)", parent)), below);
    }
    EXPECT_TRUE(isNull(db.scalar("SELECT kestro_below_root(NULL)")));
}

INSTANTIATE_TEST_SUITE_P(, SqlFunctions, test::kEachEngine, test::engineName);
