#include "search/SearchScan.h"

#include "catalog/Schema.h"
#include "support/CatalogFixture.h"
#include "support/RecordingSearchView.h"

using namespace kestro;
using test::at;
using Result = SearchOutcome::Result;

namespace {

// Three volumes, Alpha, Beta and Gamma, in that list order.
class ScanFixture : public test::CatalogFixture {
protected:
    SearchState state;
    test::RecordingSearchView view{state};
    QString alpha, beta, gamma;

    void SetUp() override {
        test::makeFile(folder("a"), "DOCS/report.txt", 3000, at(1998, 12, 25, 22, 5));
        test::makeFile(folder("a"), "notes.doc", 10, at(1999, 1, 2, 9, 30));
        test::setModified(folder("a") + "/DOCS", at(1998, 3, 5, 14, 7));
        for (int i = 0; i < 60; ++i)
            test::makeFile(folder("b"), QString("MUSIC/file %1.dat").arg(i, 2, 10, QChar('0')), 1);
        test::makeFile(folder("c"), "report.doc", 1);
        alpha = catalogAs("a", "Alpha", 'Z');
        beta = catalogAs("b", "Beta", 'Y');
        gamma = catalogAs("c", "Gamma", 'X');
        describe(alpha, "files", "report.txt", "Annual \"report\"");
    }

    SearchOutcome search(const SearchRequest& request) {
        return SearchScan(catalog(), fileTypes(), state, view).run(request);
    }
    static SearchRequest named(const QString& text) {
        SearchRequest request;
        request.criteria.named = text;
        return request;
    }
    QStringList statusesFor(const char* kind) const {
        return view.statuses.filter(QString("Searching for %1 in volume: ").arg(kind));
    }
};

} // namespace

TEST_F(ScanFixture, SearchesFoldersThenFilesOfEveryVolumeInListOrder) {
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
    EXPECT_EQ(view.clears, 1);
    ASSERT_EQ(view.results.size(), 68u);
    EXPECT_EQ(view.results[0].kind, TableKind::Folders);
    EXPECT_EQ(view.results[0].volume, "Alpha");
    EXPECT_EQ(view.results[67].name, "report.doc");
    EXPECT_EQ(view.results[67].volume, "Gamma");
}

TEST_F(ScanFixture, ResultRowsCarryTheListsColumns) {
    search({});
    std::map<QString, SearchResult> byName;
    for (const SearchResult& r : view.results)
        byName[r.name] = r;
    ASSERT_TRUE(byName.count("report.txt") && byName.count("DOCS") && byName.count("Z:"));

    const SearchResult& file = byName["report.txt"];
    EXPECT_EQ(file.type, fileTypes().FileTypeName("report.txt"));
    EXPECT_EQ(file.iconKey, "ktxt");
    EXPECT_EQ(file.volume, "Alpha");
    EXPECT_EQ(file.location, "Z:\\DOCS");
    EXPECT_EQ(file.size, "            3KB");
    EXPECT_EQ(file.modified, "12/25/98 10:05pm");
    EXPECT_EQ(file.date, "12/25/98 10:05pm");
    EXPECT_EQ(file.description, "Annual \"report\"");
    EXPECT_EQ(byName["report.doc"].iconKey, "leaf") << "no picture cached for .doc";
    EXPECT_TRUE(byName["report.doc"].description.isNull());

    const SearchResult& folderRow = byName["DOCS"];
    EXPECT_EQ(folderRow.kind, TableKind::Folders);
    EXPECT_EQ(folderRow.type, "(File Folder)");
    EXPECT_EQ(folderRow.iconKey, "closed");
    EXPECT_EQ(folderRow.location, "Z:");
    EXPECT_EQ(folderRow.modified, "3/5/98 2:07pm");
    EXPECT_EQ(byName["Z:"].location, "") << "the root has no parent";
    EXPECT_EQ(byName["Z:"].modified, "");
}

TEST_F(ScanFixture, EuropeanDatesAreShownDayFirst) {
    SearchRequest request = named("report");
    request.criteria.europeanDates = true;
    search(request);
    ASSERT_FALSE(view.results.empty());
    EXPECT_EQ(view.results[0].modified, "25/12/1998 10:05:00 pm");
    EXPECT_EQ(view.results[0].date, "12/25/98 10:05pm");
}

TEST_F(ScanFixture, FoldersOnlyReadsNoFileTable) {
    SearchRequest request = named("s");
    request.searchFiles = false;
    const SearchOutcome outcome = search(request);
    EXPECT_EQ(outcome.foldersFound, 2) << "DOCS and MUSIC";
    EXPECT_EQ(outcome.filesFound, 0);
    EXPECT_TRUE(statusesFor("files").isEmpty());
    EXPECT_EQ(view.statuses.last(), "2 folders / 0 files found -- Search Completed Successfully");
    EXPECT_EQ(state.lastSearch().scope, SearchScope::Folders);
    EXPECT_EQ(state.lastSearch().condition.values(), std::vector<SqlValue>{QString("*s*")});
}

TEST_F(ScanFixture, FilesOnlyReadsNoFolderTable) {
    SearchRequest request = named("o");
    request.searchFolders = false;
    const SearchOutcome outcome = search(request);
    EXPECT_EQ(outcome.foldersFound, 0);
    EXPECT_EQ(outcome.filesFound, 3);
    EXPECT_TRUE(statusesFor("folders").isEmpty());
    EXPECT_EQ(state.lastSearch().scope, SearchScope::Files);
}

TEST_F(ScanFixture, NeitherFilesNorFoldersIsRefusedAndChangesNothing) {
    search(named("report"));
    const LastSearch before = state.lastSearch();
    view.statuses.clear();
    view.busy.clear();
    SearchRequest request = named("other");
    request.searchFiles = request.searchFolders = false;
    EXPECT_EQ(search(request).result, Result::Refused);
    EXPECT_EQ(view.messages,
              QStringList{"Must select file, folders or both in the Advanced tab..."});
    EXPECT_TRUE(view.statuses.isEmpty());
    EXPECT_TRUE(view.busy.empty());
    EXPECT_EQ(state.lastSearch().condition.values(), before.condition.values());
}

TEST_F(ScanFixture, ChosenVolumesOnly) {
    SearchRequest request = named("report");
    QStringList unknown;
    request.volumes = {false, VolumesNamed(db(), {"Gamma", "Alpha", "Nowhere"}, unknown)};
    EXPECT_EQ(unknown, QStringList{"Nowhere"});
    search(request);
    EXPECT_EQ(statusesFor("files"), (QStringList{"Searching for files in volume: Alpha",
                                                 "Searching for files in volume: Gamma"}));
    EXPECT_EQ(view.names(), (QStringList{"report.txt", "report.doc"}));
    EXPECT_EQ(state.lastSearch().volumes.chosen.size(), 2u);

    request.volumes = {false, {}};
    EXPECT_EQ(search(request).result, Result::Completed);
    EXPECT_EQ(view.statuses.last(), "0 folders / 0 files found -- Search Completed Successfully");
}

TEST_F(ScanFixture, VolumesOfTheSameNameAreEachSearchedOnce) {
    test::makeFile(folder("twin"), "report.txt", 1);
    const QString twin = catalogAs("twin", "Alpha", 'W');
    search(named("report.txt"));
    ASSERT_EQ(view.results.size(), 2u);
    EXPECT_EQ(view.results[0].location, "Z:\\DOCS");
    EXPECT_EQ(view.results[1].location, "W:");
    QStringList unknown;
    EXPECT_EQ(VolumesNamed(db(), {"Alpha"}, unknown).size(), 2u);
}

TEST_F(ScanFixture, AVolumeWithoutTablesGivesNothingAndTheSearchGoesOn) {
    db().execute(
        "INSERT INTO \"index\" (tablename, name, volumetype) VALUES ('404', 'Aardvark', 0)");
    db().execute("DROP TABLE " + quoteIdentifier(schema::filesTable(beta)));
    const SearchOutcome outcome = search({});
    EXPECT_EQ(outcome.result, Result::Completed);
    EXPECT_EQ(view.statuses.first(), "Searching for folders in volume: Aardvark");
    EXPECT_EQ(outcome.foldersFound, 5);
    EXPECT_EQ(outcome.filesFound, 3) << "Alpha's and Gamma's";
}

TEST_F(ScanFixture, RowsArriveInBatchesBeforeEveryYield) {
    search(named("file"));
    EXPECT_EQ(view.batchSizes, (std::vector<size_t>{25, 26, 9}));
    EXPECT_EQ(view.results.size(), 60u);
}

TEST_F(ScanFixture, StopInsideAVolumeEndsAfterTheCurrentRow) {
    view.stopWhen = [](const test::RecordingSearchView& v) { return !v.batchSizes.empty(); };
    const SearchOutcome outcome = search(named("file"));
    EXPECT_EQ(outcome.result, Result::Aborted);
    EXPECT_EQ(outcome.filesFound, 26);
    EXPECT_EQ(view.results.size(), 26u);
    EXPECT_EQ(view.statuses.last(), "0 folders / 26 files found -- Search ABORTED by user");
    EXPECT_FALSE(view.statuses.contains("Searching for files in volume: Gamma"));
}

TEST_F(ScanFixture, StopBetweenVolumesEndsBothTableKinds) {
    view.stopWhen = [](const test::RecordingSearchView& v) {
        return v.statuses.contains("Searching for folders in volume: Beta");
    };
    const SearchOutcome outcome = search({});
    EXPECT_EQ(outcome.result, Result::Aborted);
    EXPECT_EQ(outcome.foldersFound, 2) << "Alpha's only";
    EXPECT_EQ(outcome.filesFound, 0);
    EXPECT_TRUE(statusesFor("files").isEmpty());
    EXPECT_EQ(view.statuses.last(), "2 folders / 0 files found -- Search ABORTED by user");
}

TEST_F(ScanFixture, AStopLeftFromBeforeIsForgotten) {
    state.requestAbort();
    EXPECT_EQ(search({}).result, Result::Completed);
    EXPECT_FALSE(state.abortRequested());
}

TEST_F(ScanFixture, ACatalogThatCannotBeReadIsReportedNotCalledASuccess) {
    test::writeAll(catalogPath, "not a catalog");
    const SearchOutcome outcome = search({});
    EXPECT_EQ(outcome.result, Result::Failed);
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
    outcome.result = Result::Aborted;
    EXPECT_EQ(SearchTotalsText(outcome),
              "1,234 folders / 1,000,000 files found -- Search ABORTED by user");
}
