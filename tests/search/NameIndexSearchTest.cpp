#include "catalog/BackgroundNameIndexing.h"
#include "catalog/CatalogEditing.h"
#include "catalog/CatalogFile.h"
#include "catalog/ConsistencySweep.h"
#include "catalog/HostedNameIndex.h"
#include "catalog/NameCandidates.h"
#include "catalog/NameIndex.h"
#include "catalog/Schema.h"
#include "search/SearchScan.h"
#include "support/CatalogFixture.h"
#include "support/RecordingView.h"

#include <QElapsedTimer>
#include <QThread>
#include <functional>
#include <map>
#include <optional>

using namespace kestro;

namespace {

// Names for every kind of pattern, among enough others to fill several of
// the index's blocks of 1,024 names.
const char* const kNames[] = {"report.doc",
                              "Report 1998.txt",
                              "my_report.DOC",
                              "report-report.txt",
                              "abc.txt",
                              "xabc",
                              "ac-dc.mp3",
                              "doc",
                              "O'Brien.txt",
                              "o'brien notes",
                              "100% pure.txt",
                              "100.txt",
                              "a_b.txt",
                              "axb.txt",
                              "[1] intro.txt",
                              "1 intro",
                              "Müller.txt",
                              "MÜLLER.DOC",
                              "Straße.txt",
                              "STRASSE.txt",
                              "Ελλάδα.jpg",
                              "ΕΛΛΆΔΑ.JPG",
                              "\u212Aelvin.txt",
                              "kelvin.c",
                              "ſtuff.txt",
                              "日本語.txt",
                              "db",
                              "d",
                              "\"quoted\" name",
                              "%_%",
                              "café.txt"};

// Patterns of every kind, each matching some of the names.
const char* const kPatterns[] = {
    // the name-pattern examples
    "report", "rep*", "*.doc", "*doc*", "?abc", "a?c", "abc*.*", "*.*", "*", "**",
    // characters that mean something to SQL, and the wildcards' own
    "o'brien", "100%", "a_b", "[1]", "%", "_", "\"quoted\"", "re*port",
    // letter case in any script, and letters that fold to ASCII ones
    "müller", "MÜLLER", "*.txt", "STRAßE", "ελλάδα", "ΕΛΛΆΔΑ*", "\u212Aelvin", "KELVIN*", "stuff",
    "日本",
    // two characters, one character, at either end or anywhere
    "db", "db*", "*pg", "d", "é", "\u212A", "filler 123", "*234.dat",
    // few rows far apart, each read alone
    "*00.dat"};

// Volume, location and name of each row found, in the order found.
QStringList rowsOf(const std::vector<SearchResult>& results) {
    QStringList rows;
    for (const SearchResult& r : results)
        rows << r.volume + "|" + r.location + "|" + r.name;
    return rows;
}

// Two volumes of every name, Alpha's files among fillers, Beta's folders.
template <typename CatalogFixture> class NamesFixture : public CatalogFixture {
protected:
    SearchState state;
    test::RecordingView view{state};
    QString alpha, beta;

    void SetUp() override {
        const QString files = this->folder("a"), folders = this->folder("b");
        for (int i = 0; i < 1200; ++i)
            test::makeFile(files, QString("FILL %1/filler %2.dat").arg(i % 7).arg(i), 1);
        for (const char* name : kNames) {
            test::makeFile(files, QString("MIXED/") + QString::fromUtf8(name), 1);
            QDir(folders).mkpath(QString("Folders/") + QString::fromUtf8(name));
        }
        alpha = this->catalogAs("a", "Alpha", 'Z');
        beta = this->catalogAs("b", "Beta", 'Y');
    }

    QStringList search(const QString& path, OpenMode mode, const QString& named) {
        SearchRequest request;
        request.criteria.named = named;
        view.statuses.clear();
        SearchScan(Catalog(path, mode), this->fileTypes(), state, view).run(request);
        return rowsOf(view.results);
    }
    // What the name index gives: the catalog as it is.
    QStringList viaIndex(const QString& named) {
        return search(this->catalogPath, OpenMode::SharedReadWrite, named);
    }
    QStringList volumeTables() const {
        return {schema::dirsTable(alpha), schema::filesTable(alpha), schema::dirsTable(beta),
                schema::filesTable(beta)};
    }
};

class IndexFixture : public NamesFixture<test::CatalogFixture> {
protected:
    // What reading every row gives: a copy of the catalog as it is now,
    // without the index, searched read-only so that no index is built.
    QString copyWithoutIndex() const {
        const QString copy = home.filePath("scan.mdb");
        QFile::remove(copy);
        QFile::copy(catalogPath, copy);
        DropNameIndex(Catalog(copy, OpenMode::SharedReadWrite).open());
        return copy;
    }
    QStringList byScan(const QString& named, const QString& copy = {}) {
        return search(copy.isEmpty() ? copyWithoutIndex() : copy, OpenMode::ExclusiveReadOnly,
                      named);
    }

    // The rowids the index holds for a table, and the table's own.
    static std::vector<qint64> indexed(const Database& db, const QString& table) {
        std::vector<qint64> rowids;
        NameCandidates(db).find(table, std::string(1, NameCandidates::kNameEdge),
                                [&](std::span<const qint64> found) {
                                    rowids.insert(rowids.end(), found.begin(), found.end());
                                    return true;
                                });
        return rowids;
    }
    static std::vector<qint64> stored(const Database& db, const QString& table) {
        std::vector<qint64> rowids;
        Statement rows = db.prepare("SELECT rowid FROM " + quoteIdentifier(table));
        while (rows.next())
            rowids.push_back(rows.integer(0));
        return rowids;
    }
    // The index covers each volume table and holds exactly its rows.
    void expectExactIndex() const {
        const Database d = db();
        for (const QString& table : volumeTables()) {
            if (!d.hasTable(table))
                continue;
            SCOPED_TRACE(table.toStdString());
            EXPECT_TRUE(NameCandidates(d).covers(table));
            EXPECT_EQ(indexed(d, table), stored(d, table));
        }
    }
    void expectSameAsScan(const QString& named) {
        SCOPED_TRACE(named.toStdString());
        EXPECT_EQ(viaIndex(named), byScan(named));
    }
};

} // namespace

TEST_F(IndexFixture, EveryPatternFindsWhatReadingEveryRowFinds) {
    expectExactIndex();
    const QString withoutIndex = copyWithoutIndex();
    for (const char* pattern : kPatterns) {
        const QString named = QString::fromUtf8(pattern);
        SCOPED_TRACE(pattern);
        const QStringList scanned = byScan(named, withoutIndex);
        EXPECT_FALSE(scanned.isEmpty()) << "the names hold no match: a test that cannot fail";
        EXPECT_EQ(viaIndex(named), scanned);
        EXPECT_TRUE(view.statuses.filter("Building").isEmpty());
    }
    // One row for a name that holds the text twice.
    EXPECT_EQ(viaIndex("report-report").size(), 2) << "the file, and the folder of that name";
}

TEST_F(IndexFixture, StaysExactThroughReCataloguesAndEveryKindOfDeletion) {
    test::makeFile(folder("a"), "MIXED/new report.txt", 1);
    QFile::remove(folder("a") + "/MIXED/report.doc");
    catalogAs("a", "Alpha", 'Z');
    expectExactIndex();
    expectSameAsScan("report");

    DeleteFileRow(db(), alpha, "Z:\\MIXED", "abc.txt");
    DeleteFolderRow(db(), beta, "Y:\\Folders", "xabc");
    expectExactIndex();
    expectSameAsScan("abc");

    const auto count = [this](const char* sql) { return std::get<qint64>(db().scalar(sql)); };
    const auto segmentsOf = [this](const QString& tablename) {
        return std::get<qint64>(
            db().scalar("SELECT count(*) FROM name_index_segments WHERE volume_table IN (?1, ?2)",
                        schema::dirsTable(tablename), schema::filesTable(tablename)));
    };
    DeleteVolume(db(), alpha);
    EXPECT_EQ(segmentsOf(alpha), 0);
    EXPECT_EQ(segmentsOf(beta), 2);
    const int category = AddCategory(db(), "Old disks");
    CategorizeVolume(db(), beta, category);
    DeleteCategory(db(), category);
    EXPECT_EQ(count("SELECT count(*) FROM name_index_segments"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM name_index_blocks"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM name_index_grams"), 0);
}

TEST_F(IndexFixture, ACatalogWithoutTheIndexIsSearchedWholeAndGetsItFromASearchOrCompact) {
    DropNameIndex(db());
    EXPECT_EQ(search(catalogPath, OpenMode::ExclusiveReadOnly, "report"), byScan("report"));
    catalogAs("b", "Beta", 'Y');
    EXPECT_FALSE(HasNameIndex(db())) << "a run leaves it to a search or Compact";

    EXPECT_EQ(viaIndex("report"), byScan("report"));
    EXPECT_TRUE(view.statuses.contains("Building the name index of volume: Alpha"));
    expectExactIndex();

    DropNameIndex(db());
    compactCatalog(catalog());
    expectExactIndex();
}

TEST_F(IndexFixture, ATableRemadeByAnotherProgramIsSearchedWholeUntilIndexedAgain) {
    // An older program catalogues Alpha again: new tables, new rowids.
    const std::string files = quoteIdentifier(schema::filesTable(alpha));
    db().executeScript("CREATE TABLE remade AS SELECT * FROM " + files + " ORDER BY name DESC;" +
                       "DROP TABLE " + files + "; ALTER TABLE remade RENAME TO " + files + ";");
    EXPECT_FALSE(NameCandidates(db()).covers(schema::filesTable(alpha)));
    EXPECT_EQ(search(catalogPath, OpenMode::ExclusiveReadOnly, "report"), byScan("report"));

    sweepCatalog(db());
    EXPECT_EQ(std::get<qint64>(
                  db().scalar("SELECT count(*) FROM name_index_segments WHERE volume_table = ?1",
                              schema::filesTable(alpha))),
              0)
        << "the sweep takes out what is out of date";
    EXPECT_EQ(viaIndex("report"), byScan("report"));
    expectExactIndex();
}

namespace {

// The same names in a hosted catalog, which the server indexes.
class HostedIndexFixture : public NamesFixture<test::CatalogFixtureOnEachEngine> {
protected:
    void expectIndexed(bool indexed) const {
        const Database d = db();
        for (const QString& table : volumeTables())
            EXPECT_EQ(HostedNamesIndexed(d, table), indexed) << table.toStdString();
    }
    // The index scans the server counted on a table's name index, once the
    // search's connection has ended and handed its counts over.
    qint64 indexScansAfter(const QString& table, qint64 earlier) const {
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            const qint64 scans =
                std::get<qint64>(db().scalar("SELECT coalesce(sum(idx_scan), 0)::bigint FROM "
                                             "pg_stat_user_indexes WHERE indexrelname = ?1",
                                             table + "_names"));
            if (scans > earlier || waited.elapsed() > 10000)
                return scans;
            QThread::msleep(50);
        }
    }
};

INSTANTIATE_TEST_SUITE_P(, HostedIndexFixture, ::testing::Values(test::Engine::Server),
                         test::engineName);

} // namespace

TEST_P(HostedIndexFixture, EveryPatternFindsWhatReadingEveryRowFinds) {
    // A run leaves its names to be indexed after it has committed: the
    // searches read the tables until then.
    expectIndexed(false);
    std::map<QString, QStringList> read;
    for (const char* pattern : kPatterns)
        read[QString::fromUtf8(pattern)] = viaIndex(QString::fromUtf8(pattern));
    IndexAllHostedNames(db());
    expectIndexed(true);
    for (const auto& [named, found] : read) {
        SCOPED_TRACE(named.toStdString());
        // The server's lower() leaves "ſ" as it is, where a file folds it to "s".
        EXPECT_EQ(found.isEmpty(), named == "stuff") << "a test that cannot fail";
        EXPECT_EQ(found, viaIndex(named));
    }

    // A database without pg_trgm has no name index; Compact brings it back.
    db().executeScript("DROP EXTENSION pg_trgm CASCADE;");
    IndexAllHostedNames(db());
    expectIndexed(false);
    compactCatalog(catalog());
    expectIndexed(true);
}

TEST_P(HostedIndexFixture, ARareNameIsFoundThroughTheIndex) {
    const QString files = schema::filesTable(alpha);
    // Enough rows that the server would rather not read them all.
    db().executeScript("INSERT INTO " + quoteIdentifier(files) +
                       " (name, parent) SELECT 'filler ' || n, 'Z:\\FILL' "
                       "FROM generate_series(1, 50000) n; ANALYZE " +
                       quoteIdentifier(files) + ";");
    IndexAllHostedNames(db());
    const qint64 before = indexScansAfter(files, -1);
    EXPECT_EQ(viaIndex("o'brien").size(), 4);
    EXPECT_GT(indexScansAfter(files, before), before);
}

TEST_P(HostedIndexFixture, NamesAreIndexedInTheBackgroundUnlessStopped) {
    const QString files = schema::filesTable(alpha);
    const auto waitUntil = [](const std::function<bool()>& done) {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 10000)
            QThread::msleep(20);
    };
    const auto waitingToIndex = [this] {
        return std::get<qint64>(db().scalar("SELECT count(*) FROM pg_stat_activity WHERE "
                                            "wait_event_type = 'Lock' AND query LIKE 'CREATE "
                                            "INDEX%'")) == 1;
    };
    const auto expectAllIndexedOnceDone = [&](const BackgroundNameIndexing& indexing) {
        waitUntil([&] { return !indexing.busy(); });
        EXPECT_FALSE(indexing.busy());
        const Database d = db();
        for (const QString& table : schema::listedVolumeTables(d))
            EXPECT_TRUE(HostedNamesIndexed(d, table)) << table.toStdString();
    };

    // A run of Alpha under way holds its files: their index waits for it.
    std::optional<Database> run(db());
    std::optional<Database::Transaction> running(std::in_place, *run);
    run->executeScript("LOCK TABLE " + quoteIdentifier(files) + " IN ROW EXCLUSIVE MODE;");
    std::optional<BackgroundNameIndexing> indexing(std::in_place);
    indexing->start(catalogPath);
    waitUntil(waitingToIndex);
    ASSERT_TRUE(indexing->busy());
    {
        // Another program leaves the table to the one indexing it, and
        // indexes the others.
        const Database other = db();
        other.executeScript("SET lock_timeout = '5s';");
        IndexAllHostedNames(other);
        for (const QString& table : volumeTables())
            EXPECT_EQ(HostedNamesIndexed(other, table), table != files) << table.toStdString();
    }
    QElapsedTimer stopping;
    stopping.start();
    indexing.reset();
    EXPECT_LT(stopping.elapsed(), 2000) << "a stop does not wait for the run";
    EXPECT_FALSE(HostedNamesIndexed(db(), files));

    // A volume catalogued while the indexing waits is indexed once it is
    // done, and one catalogued later by the next start.
    indexing.emplace();
    indexing->start(catalogPath);
    waitUntil(waitingToIndex);
    catalogAs("c", "Gamma", 'X');
    indexing->start(catalogPath);
    running.reset();
    run.reset();
    expectAllIndexedOnceDone(*indexing);
    catalogAs("d", "Delta", 'W');
    indexing->start(catalogPath);
    expectAllIndexedOnceDone(*indexing);
    EXPECT_EQ(schema::listedVolumeTables(db()).size(), 8);
}

TEST_F(IndexFixture, ASearchStoppedWhileItBuildsTheIndexSaysSoAndLeavesNoIndex) {
    DropNameIndex(db());
    // Enough folders that building their index asks whether to go on.
    const QString folders = schema::dirsTable(alpha);
    db().executeScript("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                       "20000) INSERT INTO " +
                       quoteIdentifier(folders) +
                       " (name, parent) SELECT 'extra ' || i, 'Z:' "
                       "FROM n;");
    view.stopWhen = [](const test::RecordingView& v) {
        return !v.statuses.isEmpty() && v.statuses.last().startsWith("Building the name index");
    };
    SearchRequest request;
    request.criteria.named = "report";
    const SearchOutcome outcome = SearchScan(catalog(), fileTypes(), state, view).run(request);

    EXPECT_EQ(outcome.result, SearchOutcome::Result::Aborted);
    const qsizetype building = view.statuses.indexOf("Building the name index of volume: Alpha");
    ASSERT_GE(building, 0);
    EXPECT_EQ(view.statuses.mid(building + 1), QStringList{SearchTotalsText(outcome)})
        << "nothing searched after the stop";
    EXPECT_FALSE(NameCandidates(db()).covers(folders));
}
