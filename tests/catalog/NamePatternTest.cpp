#include "ScratchCatalog.h"
#include "catalog/DisplayRules.h"
#include "catalog/PathBelowRoot.h"
#include "catalog/SqlFunctions.h"

#include <gtest/gtest.h>

using namespace kestro;

TEST(NamePattern, StarAndQuestionMarkAreTheOnlyWildcardsAndLetterCaseIsIgnoredForAllOfUnicode) {
    struct Case {
        const char* pattern;
        const char* text;
        bool matches;
    } cases[] = {
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
    for (const Case& c : cases)
        EXPECT_EQ(matchesNamePattern(QString::fromUtf8(c.pattern), QString::fromUtf8(c.text)),
                  c.matches)
            << c.pattern << " ~ " << c.text;
}

TEST(NamePattern, WorksInSqlWithBoundValuesAndNullNeverMatches) {
    const test::ScratchCatalog c;
    const Database& db = c.db;
    for (const char* name : {"Müller.TXT", "mueller.txt", "50% off.doc"})
        db.execute("INSERT INTO categories (category) VALUES (?1)", QString::fromUtf8(name));
    db.execute("INSERT INTO categories (category) VALUES (NULL)");
    auto count = [&](const QString& pattern) {
        return std::get<qint64>(
            db.scalar("SELECT count(*) FROM categories WHERE kestro_like(?1, category)", pattern));
    };
    EXPECT_EQ(count("*MÜLLER*"), 1);
    EXPECT_EQ(count("*.txt"), 2);
    EXPECT_EQ(count("*%*"), 1);
    EXPECT_EQ(count("**"), 3);
}

TEST(SqlFunctions, SizeAndDateTextsCompareAsNumbersAndMoments) {
    const test::ScratchCatalog c;
    const Database& db = c.db;
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
    EXPECT_EQ(
        std::get<QString>(db.scalar("SELECT group_concat(size, '|') FROM (SELECT size FROM v_files "
                                    "ORDER BY kestro_moment(thedate))")),
        "junk|        1,234KB|            9KB|           10KB");
    EXPECT_TRUE(
        isNull(db.scalar("SELECT kestro_moment(thedate) FROM v_files WHERE size = 'junk'")));
}

TEST(SqlFunctions, ContainsTakesEveryCharacterLiterallyInAnyLetterCase) {
    const test::ScratchCatalog c;
    const Database& db = c.db;
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

TEST(SqlFunctions, ThePathBelowTheRootLeavesOutTheDriveAloneInCAndInSql) {
    const test::ScratchCatalog c;
    const std::pair<QString, QString> cases[] = {{"E:\\GAMES\\x", "\\GAMES\\x"},
                                                 {"e:", ""},
                                                 {"Z:\\caf\u00e9 E:", "\\caf\u00e9 E:"},
                                                 {"1:\\x", "1:\\x"},
                                                 {"\u00c9:\\x", "\u00c9:\\x"},
                                                 {"E", "E"},
                                                 {"", ""}};
    for (const auto& [parent, below] : cases) {
        EXPECT_EQ(PathBelowRoot(parent), below) << parent.toStdString();
        EXPECT_EQ(NullToEmpty(c.db.scalar("SELECT kestro_below_root(?1)", parent)), below);
    }
    EXPECT_TRUE(isNull(c.db.scalar("SELECT kestro_below_root(NULL)")));
}
