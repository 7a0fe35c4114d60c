#include "search/SearchCondition.h"

#include "search/SearchScope.h"
#include "support/CatalogFixture.h"

using namespace kestro;
using test::at;

namespace {

// One volume whose files differ by one criterion at a time.
class ConditionOnCatalog : public test::CatalogFixtureOnEachEngine {
protected:
    QString id;

    void SetUp() override {
        const QString root = folder("disk");
        test::makeFile(root, "DOCS/report 1998.doc", 1500, at(1998, 12, 25, 22, 5));
        test::makeFile(root, "DOCS/A.TXT", 1234 * 1024, at(1998, 12, 31, 23, 59));
        test::makeFile(root, "DOCS/Annual Report.pdf", 10 * 1024, at(1999, 1, 1, 0, 0));
        test::makeFile(root, "100% done.txt", 1024, at(1998, 12, 24, 23, 59));
        for (const char* name : {"1000 done.txt", "a_b.txt", "axb.txt", "track [1].mp3",
                                 "track 1.mp3", "tom's \"best\".txt", "star*name.txt"})
            test::makeFile(root, name, 1025, at(1998, 12, 26, 12, 0));
        test::setModified(root + "/DOCS", at(1998, 12, 25, 10, 5));
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
    QStringList describedWith(const QString& text) const {
        SearchCriteria criteria;
        criteria.descriptionContains = text;
        return found(criteria);
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

const QStringList kEveryFile{"100% done.txt",     "1000 done.txt", "A.TXT",
                             "Annual Report.pdf", "a_b.txt",       "axb.txt",
                             "report 1998.doc",   "star*name.txt", "tom's \"best\".txt",
                             "track 1.mp3",       "track [1].mp3"};

} // namespace

TEST_P(ConditionOnCatalog, NoCriterionFindsEveryRowTheRootIncluded) {
    EXPECT_EQ(found({}), kEveryFile);
    EXPECT_EQ(found({}, TableKind::Folders), (QStringList{"DOCS", "Z:"}));
}

TEST_P(ConditionOnCatalog, NamesMatchTheirPatternAndTakeQuotesPercentUnderscoreBracketsLiterally) {
    EXPECT_EQ(named("REPORT"), (QStringList{"Annual Report.pdf", "report 1998.doc"}));
    EXPECT_EQ(named("tr*"), (QStringList{"track 1.mp3", "track [1].mp3"}));
    EXPECT_EQ(named("*.*"), kEveryFile);
    EXPECT_EQ(named("100%"), QStringList{"100% done.txt"});
    EXPECT_EQ(named("a_b"), QStringList{"a_b.txt"});
    EXPECT_EQ(named("[1]"), QStringList{"track [1].mp3"});
    EXPECT_EQ(named("tom's \"best\""), QStringList{"tom's \"best\".txt"});
}

TEST_P(ConditionOnCatalog, DescriptionsHoldTheTextLiterallyInAnyLetterCase) {
    EXPECT_EQ(describedWith("budget"), (QStringList{"A.TXT", "axb.txt"}));
    EXPECT_EQ(describedWith("*final*"), QStringList{"A.TXT"}) << "stars are literal";
    EXPECT_EQ(describedWith("b?"), QStringList{"tom's \"best\".txt"}) << "so is a question mark";
    EXPECT_EQ(describedWith("100%"), QStringList{"A.TXT"});
    EXPECT_EQ(describedWith("\"best\" [DRAFT] a_b"), QStringList{"tom's \"best\".txt"});
    SearchCriteria folders;
    folders.descriptionContains = "reports";
    EXPECT_EQ(found(folders, TableKind::Folders), QStringList{"DOCS"});
}

TEST_P(ConditionOnCatalog, SizesCompareAsKilobytes) {
    // 1,024 bytes and less are 1KB; 1,025 bytes are 2KB.
    EXPECT_EQ(sized("equal to", "1"), QStringList{"100% done.txt"});
    EXPECT_EQ(sized("at least", "1,234"), QStringList{"A.TXT"});
    EXPECT_EQ(sized("at least", "10"), (QStringList{"A.TXT", "Annual Report.pdf"}));
    EXPECT_EQ(sized("at most", "1"), QStringList{"100% done.txt"});
    EXPECT_EQ(sized("at least", "nine"), kEveryFile) << "no size criterion";
}

TEST_P(ConditionOnCatalog, DatesFindWholeDaysInEitherOrder) {
    QStringList christmasWeek = kEveryFile;
    christmasWeek.removeAll("100% done.txt");
    christmasWeek.removeAll("Annual Report.pdf");
    EXPECT_EQ(dated("12/25/98", "12/31/98"), christmasWeek);
    EXPECT_EQ(dated("12/31/1998", "12/25/1998"), christmasWeek) << "reversed";
    EXPECT_EQ(dated("25/12/98", "31/12/98", true), christmasWeek) << "European";
    EXPECT_EQ(dated("12/25/98", "12/25/98"), QStringList{"report 1998.doc"});
    EXPECT_EQ(dated("1/1/99", "1/1/99"), QStringList{"Annual Report.pdf"});
    EXPECT_EQ(dated("12/25/98", "12/25/98", false, TableKind::Folders), QStringList{"DOCS"})
        << "the root has no date";
    EXPECT_EQ(dated("12/25/98", "12/40/98"), kEveryFile) << "an invalid date: no date criterion";
}

TEST_P(ConditionOnCatalog, CriteriaCombine) {
    SearchCriteria criteria;
    criteria.named = "t";
    criteria.descriptionContains = "budget";
    criteria.sizeComparison = "at most";
    criteria.sizeKilobytes = "2";
    EXPECT_EQ(found(criteria), QStringList{"axb.txt"});
}

INSTANTIATE_TEST_SUITE_P(, ConditionOnCatalog, test::kEachEngine, test::engineName);
