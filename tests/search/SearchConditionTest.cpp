#include "search/SearchCondition.h"

#include "search/SearchScope.h"
#include "support/CatalogFixture.h"
#include "support/RecordingSearchView.h"

using namespace kestro;
using test::at;

namespace {

// One volume whose files differ by one criterion at a time.
class ConditionOnCatalog : public test::CatalogFixture {
protected:
    QString id;

    void SetUp() override {
        const QString root = folder("disk");
        const auto file = [&](const QString& name, qint64 bytes, const QDateTime& modified) {
            test::makeFile(root, name, bytes, modified);
        };
        file("DOCS/report 1998.doc", 1500, at(1998, 12, 25, 22, 5));
        file("DOCS/A.TXT", 1234 * 1024, at(1998, 12, 31, 23, 59));
        file("DOCS/Annual Report.pdf", 10 * 1024, at(1999, 1, 1, 0, 0));
        file("100% done.txt", 1024, at(1998, 12, 24, 23, 59));
        file("1000 done.txt", 1025, at(1998, 12, 26, 12, 0));
        file("a_b.txt", 1, at(1998, 12, 26, 12, 0));
        file("axb.txt", 1, at(1998, 12, 26, 12, 0));
        file("track [1].mp3", 5000, at(1998, 12, 26, 12, 0));
        file("track 1.mp3", 5000, at(1998, 12, 26, 12, 0));
        file("tom's \"best\".txt", 3000, at(1998, 12, 26, 12, 0));
        file("star*name.txt", 1, at(1998, 12, 26, 12, 0));
        file("starXname.txt", 1, at(1998, 12, 26, 12, 0));
        test::setModified(volumes.filePath("disk/DOCS"), at(1998, 12, 25, 10, 5));
        id = catalogAs("disk", "Disk1");
        describe(id, "files", "A.TXT", "Budget 100% *final* version");
        describe(id, "files", "axb.txt", "Budget 100x final");
        describe(id, "files", "tom's \"best\".txt", "Tom's \"BEST\" [draft] a_b?");
        describe(id, "dirs", "DOCS", "Letters and REPORTS");
    }

    // The names of the rows of one table that meet the criteria, sorted.
    QStringList found(const SearchCriteria& criteria, TableKind kind = TableKind::Files) const {
        const Database database = db();
        Statement rows =
            SearchCondition::fromCriteria(criteria).select(database, VolumeTable(id, kind));
        QStringList names;
        while (rows.next())
            names << rows.text(SearchCondition::Name);
        names.sort();
        return names;
    }
    QStringList named(const QString& text) const {
        SearchCriteria criteria;
        criteria.named = text;
        return found(criteria);
    }
    QStringList describedWith(const QString& text, TableKind kind = TableKind::Files) const {
        SearchCriteria criteria;
        criteria.descriptionContains = text;
        return found(criteria, kind);
    }
    QStringList sized(const QString& comparison, const QString& kilobytes) const {
        SearchCriteria criteria;
        criteria.sizeComparison = comparison;
        criteria.sizeKilobytes = kilobytes;
        return found(criteria);
    }
    QStringList dated(const QString& first, const QString& second, bool european = false,
                      TableKind kind = TableKind::Files) const {
        SearchCriteria criteria;
        criteria.between = true;
        criteria.firstDate = first;
        criteria.secondDate = second;
        criteria.europeanDates = european;
        return found(criteria, kind);
    }
};

const QStringList kEveryFile{"100% done.txt",      "1000 done.txt", "A.TXT",
                             "Annual Report.pdf",  "a_b.txt",       "axb.txt",
                             "report 1998.doc",    "star*name.txt", "starXname.txt",
                             "tom's \"best\".txt", "track 1.mp3",   "track [1].mp3"};

} // namespace

TEST_F(ConditionOnCatalog, NoCriterionFindsEveryRowTheRootIncluded) {
    EXPECT_EQ(found({}), kEveryFile);
    EXPECT_EQ(found({}, TableKind::Folders), (QStringList{"DOCS", "Z:"}));
}

TEST_F(ConditionOnCatalog, NamesMatchTheirPatternInAnyLetterCase) {
    EXPECT_EQ(named("report"), (QStringList{"Annual Report.pdf", "report 1998.doc"}));
    EXPECT_EQ(named("*.TXT"),
              (QStringList{"100% done.txt", "1000 done.txt", "A.TXT", "a_b.txt", "axb.txt",
                           "star*name.txt", "starXname.txt", "tom's \"best\".txt"}));
    EXPECT_EQ(named("tr*"), (QStringList{"track 1.mp3", "track [1].mp3"}));
    EXPECT_EQ(named("*.*"), kEveryFile);
}

TEST_F(ConditionOnCatalog, QuotesPercentUnderscoreAndBracketsInNamesAreLiteral) {
    EXPECT_EQ(named("100%"), QStringList{"100% done.txt"});
    EXPECT_EQ(named("a_b"), QStringList{"a_b.txt"});
    EXPECT_EQ(named("[1]"), QStringList{"track [1].mp3"});
    EXPECT_EQ(named("tom's \"best\""), QStringList{"tom's \"best\".txt"});
    EXPECT_EQ(named("\""), QStringList{"tom's \"best\".txt"});
}

TEST_F(ConditionOnCatalog, DescriptionsHoldTheTextLiterallyInAnyLetterCase) {
    EXPECT_EQ(describedWith("budget"), (QStringList{"A.TXT", "axb.txt"}));
    EXPECT_EQ(describedWith("*final*"), QStringList{"A.TXT"}) << "stars are literal";
    EXPECT_EQ(describedWith("100%"), QStringList{"A.TXT"});
    EXPECT_EQ(describedWith("a_b?"), QStringList{"tom's \"best\".txt"});
    EXPECT_EQ(describedWith("b?"), QStringList{"tom's \"best\".txt"}) << "a question mark too";
    EXPECT_EQ(describedWith("\"best\" [DRAFT]"), QStringList{"tom's \"best\".txt"});
    EXPECT_EQ(describedWith("reports", TableKind::Folders), QStringList{"DOCS"});
    EXPECT_EQ(describedWith("x"), (QStringList{"axb.txt"})) << "no description matches nothing";
}

TEST_F(ConditionOnCatalog, SizesCompareAsKilobytes) {
    // 1,024 bytes and less are 1KB; 1,025 bytes are 2KB.
    EXPECT_EQ(sized("equal to", "1"), (QStringList{"100% done.txt", "a_b.txt", "axb.txt",
                                                   "star*name.txt", "starXname.txt"}));
    EXPECT_EQ(sized("at least", "10"), (QStringList{"A.TXT", "Annual Report.pdf"}));
    EXPECT_EQ(sized("at least", "1,234"), QStringList{"A.TXT"});
    EXPECT_EQ(sized("at most", "2"),
              (QStringList{"100% done.txt", "1000 done.txt", "a_b.txt", "axb.txt",
                           "report 1998.doc", "star*name.txt", "starXname.txt"}));
    EXPECT_EQ(sized("at least", "nine"), kEveryFile) << "no size criterion";
}

TEST_F(ConditionOnCatalog, DatesFindWholeDaysInEitherOrder) {
    const QStringList christmasWeek{
        "1000 done.txt",   "A.TXT",         "a_b.txt",       "axb.txt",
        "report 1998.doc", "star*name.txt", "starXname.txt", "tom's \"best\".txt",
        "track 1.mp3",     "track [1].mp3"};
    EXPECT_EQ(dated("12/25/98", "12/31/98"), christmasWeek);
    EXPECT_EQ(dated("12/31/1998", "12/25/1998"), christmasWeek);
    EXPECT_EQ(dated("25/12/98", "31/12/98", true), christmasWeek);
    EXPECT_EQ(dated("12/25/98", "12/25/98"), QStringList{"report 1998.doc"});
    EXPECT_EQ(dated("1/1/99", "1/1/99"), QStringList{"Annual Report.pdf"});
    EXPECT_EQ(dated("12/25/98", "12/25/98", false, TableKind::Folders), QStringList{"DOCS"})
        << "the root has no date";
    EXPECT_EQ(dated("12/25/98", "12/40/98"), kEveryFile) << "an invalid date: no date criterion";
}

TEST_F(ConditionOnCatalog, CriteriaCombine) {
    SearchCriteria criteria;
    criteria.named = "t";
    criteria.descriptionContains = "budget";
    criteria.sizeComparison = "at most";
    criteria.sizeKilobytes = "1";
    EXPECT_EQ(found(criteria), QStringList{"axb.txt"});
}
