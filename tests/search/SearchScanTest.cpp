#include "search/SearchScan.h"

#include "catalog/Schema.h"
#include "support/CatalogFixture.h"
#include "support/RecordingView.h"

using namespace kestro;
using test::at;
using Result = SearchOutcome::Result;

namespace {

// Three volumes, Alpha, Beta and Gamma, in that list order.
class ScanFixture : public test::CatalogFixtureOnEachEngine {
protected:
    SearchState state;
    test::RecordingView view{state};
    QString alpha, beta, gamma;

    void SetUp() override {
        test::makeFile(folder("a"), "DOCS/report.txt", 3000, at(1998, 12, 25, 22, 5));
        test::makeFile(folder("a"), "notes.doc", 10, at(1999, 1, 2, 9, 30));
        test::setModified(folder("a") + "/DOCS", at(1998, 3, 5, 14, 7));
        for (int i = 0; i < 60; ++i)
            test::makeFile(folder("b"), QString("MUSIC/file %1.dat").arg(i), 1);
        test::makeFile(folder("c"), "report.doc", 1);
        alpha = catalogAs("a", "Alpha", 'Z');
        beta = catalogAs("b", "Beta", 'Y');
        gamma = catalogAs("c", "Gamma", 'X');
        describe(alpha, "files", "report.txt", "Annual \"report\"");
    }

    SearchOutcome search(SearchRequest request, const QString& named = {}) {
        request.criteria.named = named;
        return SearchScan(catalog(), fileTypes(), state, view).run(request);
    }
    QStringList statusesFor(const char* kind) const {
        return view.statuses.filter(QString("Searching for %1 in volume: ").arg(kind));
    }
};

SearchRequest kinds(bool files, bool folders) {
    SearchRequest request;
    request.searchFiles = files;
    request.searchFolders = folders;
    return request;
}

} // namespace

TEST_P(ScanFixture, SearchesFoldersThenFilesOfEveryVolumeInListOrder) {
    state.requestAbort(); // left from before: each search forgets it
    const SearchOutcome outcome = search({});
    EXPECT_EQ(outcome.result, Result::Completed);
    EXPECT_EQ(outcome.foldersFound, 2 + 2 + 1) << "each volume's root and folders";
    EXPECT_EQ(outcome.filesFound, 2 + 60 + 1);
    EXPECT_EQ(view.statuses,
              (QStringList{
                  "Searching for folders in volume: Alpha", "Searching for folders in volume: Beta",
                  "Searching for folders in volume: Gamma", "Searching for files in volume: Alpha",
                  "Searching for files in volume: Beta", "Searching for files in volume: Gamma",
                  "5 folders / 63 files found -- Search Completed Successfully"}));
    EXPECT_EQ(view.busy, (std::vector<bool>{true, false}));
    ASSERT_EQ(view.results.size(), 68u);
    EXPECT_EQ(view.results.front().kind, TableKind::Folders);
    EXPECT_EQ(view.results.back().volume, "Gamma");
    // Rows are handed over at the end of each volume and before every 26th
    // row: Beta's 60 files come as 25, 26 and 9.
    EXPECT_EQ(view.batchSizes, (std::vector<size_t>{2, 2, 1, 2, 25, 26, 9, 1}));
}

TEST_P(ScanFixture, VolumesAreListedByNameWithoutRegardToLetterCase) {
    db().execute("UPDATE \"index\" SET name = 'alpha' WHERE tablename = ?1", alpha);
    QStringList names;
    for (const CatalogVolume& volume : ListVolumes(db()))
        names << volume.name;
    EXPECT_EQ(names, (QStringList{"alpha", "Beta", "Gamma"}));
}

TEST_P(ScanFixture, ResultRowsCarryTheListsColumnsWithDatesAsTheOptionWants) {
    // Type, icon key, volume, location, size, stored date, Modified, description.
    const auto columns = [](const SearchResult& r) {
        return QStringList{r.type, r.iconKey, r.volume,   r.location,
                           r.size, r.date,    r.modified, r.description};
    };
    for (const bool european : {false, true}) {
        SCOPED_TRACE(european);
        SearchRequest request;
        request.criteria.europeanDates = european;
        search(request);
        std::map<QString, SearchResult> byName;
        for (const SearchResult& r : view.results)
            byName[r.name] = r;
        EXPECT_EQ(columns(byName["report.txt"]),
                  (QStringList{fileTypes().FileTypeName("report.txt"), "ktxt", "Alpha", "Z:\\DOCS",
                               "            3KB", "12/25/98 10:05pm",
                               european ? "25/12/1998 10:05:00 pm" : "12/25/98 10:05pm",
                               "Annual \"report\""}));
        EXPECT_EQ(byName["report.doc"].iconKey, "leaf") << "no picture cached for .doc";
        EXPECT_TRUE(byName["report.doc"].description.isNull());
        EXPECT_EQ(columns(byName["DOCS"]).mid(0, 4),
                  (QStringList{"(File Folder)", "closed", "Alpha", "Z:"}));
        EXPECT_EQ(byName["DOCS"].modified, european ? "5/3/1998 2:07:00 pm" : "3/5/98 2:07pm");
        EXPECT_EQ(byName["Z:"].location, "") << "the root has no parent";
        EXPECT_EQ(byName["Z:"].modified, "");
    }
}

TEST_P(ScanFixture, FoldersOrFilesOnlyReadOnlyTheirTablesNeitherIsRefused) {
    SearchOutcome outcome = search(kinds(false, true), "s");
    EXPECT_EQ(outcome.foldersFound, 2) << "DOCS and MUSIC";
    EXPECT_EQ(outcome.filesFound, 0);
    EXPECT_TRUE(statusesFor("files").isEmpty());
    EXPECT_EQ(view.statuses.last(), "2 folders / 0 files found -- Search Completed Successfully");
    EXPECT_EQ(state.lastSearch().scope, SearchScope::Folders);
    EXPECT_EQ(state.lastSearch().condition.values(), std::vector<SqlValue>{QString("*s*")});

    view.statuses.clear();
    outcome = search(kinds(true, false), "o");
    EXPECT_EQ(outcome.foldersFound, 0);
    EXPECT_EQ(outcome.filesFound, 3);
    EXPECT_TRUE(statusesFor("folders").isEmpty());
    EXPECT_EQ(state.lastSearch().scope, SearchScope::Files);

    // Neither is refused and changes nothing, the last search included.
    view.statuses.clear();
    view.busy.clear();
    EXPECT_EQ(search(kinds(false, false), "other").result, Result::Refused);
    EXPECT_EQ(view.messages,
              QStringList{"Must select file, folders or both in the Advanced tab..."});
    EXPECT_TRUE(view.statuses.isEmpty());
    EXPECT_TRUE(view.busy.empty());
    EXPECT_EQ(state.lastSearch().condition.values(), std::vector<SqlValue>{QString("*o*")});
    EXPECT_EQ(state.lastSearch().scope, SearchScope::Files);
}

// Each name typed one letter longer, or in other letter case, narrows the
// rows found before: they are the rows a search of the catalog finds.
TEST_P(ScanFixture, ANarrowedSearchFindsWhatASearchOfTheCatalogFinds) {
    SearchRequest request = kinds(true, true);
    search(request, "e");
    for (const char* longer : {"le", "FiLe 1", "file 1", "file 12", "nothing"}) {
        std::deque<SearchResult> earlier(view.results.begin(), view.results.end());
        request.criteria.named = longer;
        const SearchOutcome narrowed =
            SearchScan(catalog(), fileTypes(), state, view).narrow(request, earlier);
        const QStringList narrowedNames = view.names();
        const QString status = view.statuses.last();
        const SearchOutcome scanned = search(request, longer);
        EXPECT_EQ(narrowedNames, view.names()) << longer;
        EXPECT_EQ(status, view.statuses.last()) << longer;
        EXPECT_EQ(narrowed.filesFound, scanned.filesFound) << longer;
        EXPECT_EQ(narrowed.foldersFound, scanned.foldersFound) << longer;
        EXPECT_EQ(state.lastSearch().condition.values(),
                  std::vector<SqlValue>{"*" + QString(longer) + "*"});
    }
}

TEST(NarrowsSearch, OnlyTheSameSearchForANameHoldingTheEarlierOne) {
    struct Case {
        const char* earlier;
        const char* later;
        bool narrows;
    } const cases[] = {
        {"rep", "repo", true},   {"rep", "prepare", true}, {"REP", "xrepx", true},
        {"grö", "GRÖSSE", true}, {"rep", "rep", true},     {"rep", "re", false},
        {"rep", "rop", false},   {"", "a", false},         {"re*", "rep", false},
        {"re", "re*", false},    {"re", "?re", false},
    };
    for (const Case& c : cases) {
        SearchRequest earlier, later;
        earlier.criteria.named = QString::fromUtf8(c.earlier);
        later.criteria.named = QString::fromUtf8(c.later);
        EXPECT_EQ(NarrowsSearch(earlier, later), c.narrows) << c.earlier << " -> " << c.later;
    }
    // Any other criterion changed, and the later rows may lie elsewhere.
    const auto narrowsWith = [](auto change) {
        SearchRequest earlier, later;
        earlier.criteria.named = "re";
        later.criteria.named = "rep";
        change(later);
        return NarrowsSearch(earlier, later);
    };
    EXPECT_FALSE(narrowsWith([](SearchRequest& r) { r.searchFolders = false; }));
    EXPECT_FALSE(narrowsWith([](SearchRequest& r) { r.volumes.allVolumes = false; }));
    EXPECT_FALSE(narrowsWith([](SearchRequest& r) { r.criteria.sizeKilobytes = "1"; }));
    EXPECT_FALSE(narrowsWith([](SearchRequest& r) { r.criteria.europeanDates = true; }));
}

TEST_P(ScanFixture, ChosenVolumesOnlyAndSameNamedVolumesEachOnce) {
    SearchRequest request;
    QStringList unknown;
    request.volumes = {false, VolumesNamed(db(), {"Gamma", "Alpha", "Nowhere"}, unknown)};
    EXPECT_EQ(unknown, QStringList{"Nowhere"});
    search(request, "report");
    EXPECT_EQ(statusesFor("files"), (QStringList{"Searching for files in volume: Alpha",
                                                 "Searching for files in volume: Gamma"}));
    EXPECT_EQ(view.names(), (QStringList{"report.txt", "report.doc"}));

    request.volumes = {false, {}};
    EXPECT_EQ(search(request).result, Result::Completed);
    EXPECT_EQ(view.statuses.last(), "0 folders / 0 files found -- Search Completed Successfully");

    test::makeFile(folder("twin"), "report.txt", 1);
    catalogAs("twin", "Alpha", 'W');
    search({}, "report.txt");
    ASSERT_EQ(view.results.size(), 2u);
    EXPECT_EQ(view.results[0].location, "Z:\\DOCS");
    EXPECT_EQ(view.results[1].location, "W:");
    EXPECT_EQ(VolumesNamed(db(), {"Alpha"}, unknown).size(), 2u);
}

TEST_P(ScanFixture, AVolumeWithoutTablesGivesNothingAndTheSearchGoesOn) {
    db().execute(
        "INSERT INTO \"index\" (tablename, name, volumetype) VALUES ('404', 'Aardvark', 0)");
    db().execute("DROP TABLE " + quoteIdentifier(schema::filesTable(beta)));
    const SearchOutcome outcome = search({});
    EXPECT_EQ(outcome.result, Result::Completed);
    EXPECT_EQ(view.statuses.first(), "Searching for folders in volume: Aardvark");
    EXPECT_EQ(outcome.foldersFound, 5);
    EXPECT_EQ(outcome.filesFound, 3) << "Alpha's and Gamma's";
}

TEST_P(ScanFixture, StopInsideAVolumeEndsAfterTheCurrentRow) {
    view.stopWhen = [](const test::RecordingView& v) { return !v.batchSizes.empty(); };
    const SearchOutcome outcome = search({}, "file");
    EXPECT_EQ(outcome.result, Result::Aborted);
    EXPECT_EQ(outcome.filesFound, 26);
    EXPECT_EQ(view.statuses.last(), "0 folders / 26 files found -- Search ABORTED by user");
    EXPECT_FALSE(view.statuses.contains("Searching for files in volume: Gamma"));
}

TEST_P(ScanFixture, StopBetweenVolumesEndsBothTableKinds) {
    view.stopWhen = [](const test::RecordingView& v) {
        return v.statuses.contains("Searching for folders in volume: Beta");
    };
    const SearchOutcome outcome = search({});
    EXPECT_EQ(outcome.result, Result::Aborted);
    EXPECT_EQ(outcome.foldersFound, 2) << "Alpha's only";
    EXPECT_TRUE(statusesFor("files").isEmpty());
    EXPECT_EQ(view.statuses.last(), "2 folders / 0 files found -- Search ABORTED by user");
}

TEST_P(ScanFixture, StopWhileReadingFoldersSearchesNoFiles) {
    // Asked at the yield of Alpha's status, then at the one before its rows.
    int asked = 0;
    view.stopWhen = [&](const test::RecordingView& v) {
        return !v.statuses.isEmpty() &&
               v.statuses.last() == "Searching for folders in volume: Alpha" && ++asked == 2;
    };
    const SearchOutcome outcome = search({});
    EXPECT_EQ(outcome.result, Result::Aborted);
    EXPECT_EQ(outcome.foldersFound, 1) << "the row read when Stop came";
    EXPECT_TRUE(statusesFor("files").isEmpty());
}

TEST_P(ScanFixture, ACatalogThatCannotBeReadIsReportedNotCalledASuccess) {
    if (GetParam() == test::Engine::File)
        test::writeAll(catalogPath, "not a catalog");
    else
        test::PrivatePostgres::instance().run(catalogPath.section('/', -1), "DROP TABLE name");
    EXPECT_EQ(search({}).result, Result::Failed);
    ASSERT_EQ(view.messages.size(), 1);
    EXPECT_TRUE(view.messages[0].contains(catalogPath)) << view.messages[0].toStdString();
    EXPECT_EQ(view.statuses.last(), "0 folders / 0 files found -- Search FAILED");
    EXPECT_EQ(view.busy, (std::vector<bool>{true, false}));
}

TEST(SearchTotalsText, CountsWithThousandsSeparators) {
    SearchOutcome outcome;
    outcome.foldersFound = 1234;
    outcome.filesFound = 1'000'000;
    EXPECT_EQ(SearchTotalsText(outcome),
              "1,234 folders / 1,000,000 files found -- Search Completed Successfully");
}

INSTANTIATE_TEST_SUITE_P(, ScanFixture, test::kEachEngine, test::engineName);
