#include "catalog/Schema.h"
#include "export/ExportRun.h"
#include "search/SearchScan.h"
#include "support/CatalogFixture.h"
#include "support/RecordingView.h"

#include <QDir>

using namespace kestro;
using test::at;
using Result = ExportOutcome::Result;

namespace {

// The volume Disk1: its root, one folder DOCS of 10KB and one file A.TXT of
// 1,234KB in it; exports go to the folder `out`.
class ExportFixture : public test::CatalogFixtureOnEachEngine {
protected:
    SearchState state;
    test::RecordingView view{state};
    QTemporaryDir out;
    QString disk1;

    void SetUp() override {
        test::makeFile(folder("disk1"), "DOCS/A.TXT", 1234 * 1024, at(1998, 12, 25, 22, 5));
        disk1 = catalogAs("disk1", "Disk1");
        // Folder sizes come from the file system; these are fixed for exact files.
        db().execute("UPDATE " + quoteIdentifier(schema::dirsTable(disk1)) +
                     " SET size = CASE WHEN parent IS NULL THEN '            4KB' ELSE "
                     "'           10KB' END");
    }

    ExportOutcome exportWith(const ExportFormat& format, bool fromSearch = false,
                             const QString& folder = {}) {
        ExportRequest request;
        request.format = format;
        request.folder = folder.isEmpty() ? out.path() : folder;
        request.fromSearch = fromSearch;
        return ExportRun(catalog(), fileTypes(), state, view).run(request);
    }
    static ExportFormat fields(std::initializer_list<ExportField> chosen) {
        ExportFormat format;
        format.fields.fill(false);
        for (const ExportField field : chosen)
            format.fields[size_t(field)] = true;
        return format;
    }
    void searchFor(const QString& name, bool folders = true, VolumeSelection lookIn = {}) {
        SearchRequest search;
        search.criteria.named = name;
        search.searchFolders = folders;
        search.volumes = std::move(lookIn);
        test::RecordingView searchView(state);
        SearchScan(catalog(), fileTypes(), state, searchView).run(search);
    }
    QByteArray written(const QString& name) const { return test::readAll(out.filePath(name)); }
    QStringList filesOut() const {
        return QDir(out.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

} // namespace

TEST_P(ExportFixture, DefaultOptionsWithNameAndSize) {
    // A destination ending in "/" gets no second one.
    const ExportOutcome outcome =
        exportWith(fields({ExportField::Name, ExportField::Size}), false, out.path() + "/");
    EXPECT_EQ(outcome.result, Result::Written) << view.messages.join("\n").toStdString();
    EXPECT_EQ(outcome.files, QStringList{out.path() + "/Disk1.cdf"});
    EXPECT_EQ(written("Disk1.cdf"), "\"Filename\",\"Size\"\r\n"
                                    "\"Z:\",\"4\"\r\n"
                                    "\"DOCS\",\"10\"\r\n"
                                    "\"A.TXT\",\"1234\"\r\n");
    EXPECT_EQ(view.captions, (QStringList{"Exporting volume: Disk1", "Export"}));
    EXPECT_EQ(view.busy, (std::vector<bool>{true, false}));
}

TEST_P(ExportFixture, EveryFieldOfFolderAndFileRows) {
    describe(disk1, "files", "A.TXT", "Budget, \"final\"");
    exportWith({});
    EXPECT_EQ(written("Disk1.cdf"),
              "\"Filename\",\"Path\",\"Volume\",\"Size\",\"Modified date\",\"Description\","
              "\"Type\"\r\n"
              "\"Z:\",\"\",\"Disk1\",\"4\",\"<none>\",\"\",\"<directory>\"\r\n"
              "\"DOCS\",\"Z:\",\"Disk1\",\"10\",\"<none>\",\"\",\"<directory>\"\r\n"
              "\"A.TXT\",\"Z:\\DOCS\",\"Disk1\",\"1234\",\"12/25/98 10:05:00 pm\","
              "\"Budget, \"\"final\"\"\",\"" +
                  fileTypes().FileTypeName("A.TXT").toUtf8() + "\"\r\n");

    // Without Date Modified no row has a date field; an empty or missing date
    // is <none>; noon is pm and midnight am.
    exportWith(fields({ExportField::Name, ExportField::Type}));
    EXPECT_TRUE(written("Disk1.cdf")
                    .startsWith("\"Filename\",\"Type\"\r\n"
                                "\"Z:\",\"<directory>\"\r\n"));
    for (const auto& [date, exported] : {std::pair{"''", "<none>"},
                                         {"'   '", "<none>"},
                                         {"NULL", "<none>"},
                                         {"'1/2/99 12:30pm'", "1/2/99 12:30:00 pm"},
                                         {"'1/2/99 12:30am'", "1/2/99 12:30:00 am"}}) {
        db().execute("UPDATE " + quoteIdentifier(schema::filesTable(disk1)) +
                     " SET thedate = " + date);
        exportWith(fields({ExportField::Name, ExportField::Date}));
        EXPECT_TRUE(written("Disk1.cdf").endsWith("\"A.TXT\",\"" + QByteArray(exported) + "\"\r\n"))
            << date;
    }
}

TEST_P(ExportFixture, PrintoutIsATextFileWithTabsAndAVolumeHeading) {
    ExportFormat format = fields({ExportField::Name, ExportField::Size});
    format.forPrint = true;
    format.headers = false; // printout writes them whatever the box says
    exportWith(format);
    EXPECT_EQ(filesOut(), QStringList{"Disk1.txt"});
    EXPECT_EQ(written("Disk1.txt"), "Volume: Disk1\r\n\r\nFilename\tSize\r\n\r\n"
                                    "Z:\t4\r\nDOCS\t10\r\nA.TXT\t1234\r\n");
}

TEST_P(ExportFixture, TabsWithoutQuotesOrHeadersKeepEachRowOnOneLine) {
    describe(disk1, "files", "A.TXT", "line one\r\nline\ttwo \"q\", end");
    ExportFormat format = fields({ExportField::Name, ExportField::Description});
    format.tabs = true;
    format.quotes = false;
    format.headers = false;
    exportWith(format);
    EXPECT_EQ(written("Disk1.cdf"), "Z:\t\r\nDOCS\t\r\nA.TXT\tline one  line two \"q\", end\r\n");
}

TEST_P(ExportFixture, SearchResultsOfTheLastSearchsKindsAndVolumes) {
    test::makeFile(folder("disk2"), "A.TXT", 1, at(1999, 1, 2, 9, 30));
    const QString disk2 = catalogAs("disk2", "Disk2", 'Y');
    db().execute("INSERT INTO \"index\" (tablename, name, volumetype) VALUES ('404', 'Lost', 9)");
    test::writeAll(out.filePath("Lost (search results).cdf"), "an older export");

    searchFor("a.txt", false);
    ExportOutcome outcome = exportWith(fields({ExportField::Name, ExportField::Path}), true);
    EXPECT_EQ(filesOut(), (QStringList{"Disk1 (search results).cdf", "Disk2 (search results).cdf"}))
        << "a volume without tables leaves no file";
    EXPECT_EQ(written("Disk1 (search results).cdf"), "\"Filename\",\"Path\"\r\n"
                                                     "\"A.TXT\",\"Z:\\DOCS\"\r\n");
    EXPECT_EQ(view.captions.last(), "Export Search Results");

    searchFor("a.txt", true, {false, {{disk2, "Disk2"}}});
    test::writeAll(out.filePath("Disk1 (search results).cdf"), "an older export");
    outcome = exportWith({}, true);
    EXPECT_EQ(outcome.files, QStringList{out.filePath("Disk2 (search results).cdf")});
    EXPECT_TRUE(QFile::exists(out.filePath("Disk1 (search results).cdf")))
        << "a volume the search did not look in is not written";
}

TEST_P(ExportFixture, VolumeNamesBecomeSafeAndDistinctFileNames) {
    // A server's texts cannot hold a NUL character; a file's can.
    const QString nul = GetParam() == test::Engine::File ? QString("nul") + QChar(0) + "name"
                                                         : QString("nul\tname");
    const QString names[] = {"Photos/2024", "", "..", ".", "Disk1", "two\nlines", nul};
    QChar letter = 'P';
    for (const QString& name : names) {
        const QString folderName = QString("v") + letter;
        test::makeFile(folder(folderName), "f.txt", 1);
        const QString id = catalogAs(folderName, "placeholder", letter);
        db().execute("UPDATE \"index\" SET name = ?1 WHERE tablename = ?2", name, id);
        letter = QChar(letter.unicode() + 1);
    }
    EXPECT_EQ(exportWith(fields({ExportField::Name})).result, Result::Written);
    EXPECT_EQ(filesOut(), (QStringList{"Disk1 (2).cdf", "Disk1.cdf", "Photos_2024.cdf", "_ (2).cdf",
                                       "_..cdf", "_.cdf", "nul_name.cdf", "two_lines.cdf"}));
}

TEST_P(ExportFixture, NoFieldOrNoVolumeIsRefusedAndWritesNothing) {
    ExportFormat none;
    none.fields.fill(false);
    EXPECT_EQ(exportWith(none).result, Result::Refused);
    ExportRequest noVolume;
    noVolume.folder = out.path();
    noVolume.volumes = {false, {}};
    EXPECT_EQ(ExportRun(catalog(), fileTypes(), state, view).run(noVolume).result, Result::Refused);
    EXPECT_EQ(view.messages, (QStringList{"Must select at least one field to export...",
                                          "Must select at least one volume to export..."}));
    EXPECT_TRUE(filesOut().isEmpty());
    EXPECT_TRUE(view.busy.empty());
}

TEST_P(ExportFixture, StopEndsTheExportAfterTheCurrentRow) {
    for (int i = 0; i < 70; ++i)
        test::makeFile(folder("many"), QString("f%1.txt").arg(i), 1);
    catalogAs("many", "Big", 'Y'); // listed before Disk1
    view.stopWhen = [](const test::RecordingView& v) {
        return v.captions.contains("Exporting volume: Big") && v.yields > 40;
    };
    EXPECT_EQ(exportWith(fields({ExportField::Name})).result, Result::Aborted);
    EXPECT_EQ(filesOut(), QStringList{"Big.cdf"});
    // The header, the root's row, and its files' rows up to the 51st, whose yield stops it.
    EXPECT_EQ(written("Big.cdf").count("\r\n"), 1 + 1 + 51);
}

TEST_P(ExportFixture, ADestinationThatCannotTakeTheFileStopsWithAMessage) {
    EXPECT_EQ(exportWith({}, false, out.filePath("missing")).result, Result::Failed);
    EXPECT_EQ(view.messages, QStringList{"The export file \"" + out.filePath("missing/Disk1.cdf") +
                                         "\" cannot be created: No such file or directory.  The "
                                         "export has stopped."});
    EXPECT_EQ(view.busy, (std::vector<bool>{true, false}));
}

TEST_P(ExportFixture, AFullDiskStopsTheExportAndLeavesNoBrokenFile) {
    test::SmallDisk disk(64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.failure();
    // A description larger than the disk, once within the write buffer and
    // once beyond it: the failure shows at the close and at a write.
    for (const int descriptionSize : {100 * 1024, 1024 * 1024}) {
        describe(disk1, "files", "A.TXT", QString(descriptionSize, 'x'));
        view.messages.clear();
        EXPECT_EQ(exportWith({}, false, disk.path()).result, Result::Failed) << descriptionSize;
        EXPECT_EQ(view.messages, QStringList{"The export file \"" + disk.filePath("Disk1.cdf") +
                                             "\" cannot be written: No space left on device.  "
                                             "The export has stopped."});
        EXPECT_FALSE(QFile::exists(disk.filePath("Disk1.cdf")));
    }
}

TEST_P(ExportFixture, ACatalogThatCannotBeReadIsReported) {
    if (GetParam() == test::Engine::File)
        test::writeAll(catalogPath, "not a catalog");
    else
        test::PrivatePostgres::instance().run(catalogPath.section('/', -1), "DROP TABLE name");
    EXPECT_EQ(exportWith({}).result, Result::Failed);
    ASSERT_EQ(view.messages.size(), 1);
    EXPECT_TRUE(view.messages[0].contains(catalogPath));
    EXPECT_TRUE(filesOut().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(, ExportFixture, test::kEachEngine, test::engineName);
