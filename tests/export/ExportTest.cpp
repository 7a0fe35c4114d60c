#include "RecordingExportView.h"
#include "catalog/Schema.h"
#include "export/ExportRun.h"
#include "search/SearchScan.h"
#include "support/CatalogFixture.h"
#include "support/RecordingSearchView.h"

#include <QDir>

using namespace kestro;
using test::at;
using Result = ExportOutcome::Result;

namespace {

// The volume Disk1: its root, one folder DOCS of 10KB and one file A.TXT of
// 1,234KB in it; exports go to the folder `out`.
class ExportFixture : public test::CatalogFixture {
protected:
    SearchState state;
    test::RecordingExportView view{state};
    QTemporaryDir out;
    QString disk1;

    void SetUp() override {
        test::makeFile(folder("disk1"), "DOCS/A.TXT", 1234 * 1024, at(1998, 12, 25, 22, 5));
        disk1 = catalogAs("disk1", "Disk1");
        fixRootAndFolderSizes(disk1);
    }
    // Folder sizes come from the file system; these are fixed for exact files.
    void fixRootAndFolderSizes(const QString& id) const {
        db().execute("UPDATE " + quoteIdentifier(schema::dirsTable(id)) +
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
    QByteArray written(const QString& name) const { return test::readAll(out.filePath(name)); }
    QStringList filesOut() const { return QDir(out.path()).entryList(QDir::Files | QDir::Hidden); }
};

} // namespace

TEST_F(ExportFixture, DefaultOptionsWithNameAndSize) {
    const ExportOutcome outcome = exportWith(fields({ExportField::Name, ExportField::Size}));
    EXPECT_EQ(outcome.result, Result::Written);
    EXPECT_EQ(outcome.files, QStringList{out.filePath("Disk1.cdf")});
    EXPECT_EQ(written("Disk1.cdf"), "\"Filename\",\"Size\"\r\n"
                                    "\"Z:\",\"4\"\r\n"
                                    "\"DOCS\",\"10\"\r\n"
                                    "\"A.TXT\",\"1234\"\r\n");
    EXPECT_EQ(view.captions, (QStringList{"Exporting volume: Disk1", "Export"}));
    EXPECT_EQ(view.busy, (std::vector<bool>{true, false}));
}

TEST_F(ExportFixture, EveryFieldOfFolderAndFileRows) {
    describe(disk1, "files", "A.TXT", "Budget, \"final\"");
    exportWith({});
    const QByteArray type = fileTypes().FileTypeName("A.TXT").toUtf8();
    EXPECT_EQ(written("Disk1.cdf"),
              "\"Filename\",\"Path\",\"Volume\",\"Size\",\"Modified date\",\"Description\","
              "\"Type\"\r\n"
              "\"Z:\",\"\",\"Disk1\",\"4\",\"<none>\",\"\",\"<directory>\"\r\n"
              "\"DOCS\",\"Z:\",\"Disk1\",\"10\",\"<none>\",\"\",\"<directory>\"\r\n"
              "\"A.TXT\",\"Z:\\DOCS\",\"Disk1\",\"1234\",\"12/25/98 10:05:00 pm\","
              "\"Budget, \"\"final\"\"\",\"" +
                  type + "\"\r\n");
}

TEST_F(ExportFixture, WithoutDateModifiedNoRowHasADateField) {
    exportWith(fields({ExportField::Name, ExportField::Date, ExportField::Type}));
    EXPECT_TRUE(written("Disk1.cdf")
                    .startsWith("\"Filename\",\"Modified date\",\"Type\"\r\n"
                                "\"Z:\",\"<none>\",\"<directory>\"\r\n"));
    exportWith(fields({ExportField::Name, ExportField::Type}));
    EXPECT_TRUE(written("Disk1.cdf")
                    .startsWith("\"Filename\",\"Type\"\r\n"
                                "\"Z:\",\"<directory>\"\r\n"));
}

TEST_F(ExportFixture, AnEmptyOrMissingDateIsNone) {
    for (const char* date : {"''", "'   '", "NULL"}) {
        db().execute("UPDATE " + quoteIdentifier(schema::filesTable(disk1)) +
                     " SET thedate = " + date);
        exportWith(fields({ExportField::Name, ExportField::Date}));
        EXPECT_TRUE(written("Disk1.cdf").endsWith("\"A.TXT\",\"<none>\"\r\n")) << date;
    }
}

TEST_F(ExportFixture, PrintoutIsATextFileWithTabsAndAVolumeHeading) {
    ExportFormat format = fields({ExportField::Name, ExportField::Size});
    format.forPrint = true;
    format.headers = false; // printout writes them whatever the box says
    exportWith(format);
    EXPECT_EQ(filesOut(), QStringList{"Disk1.txt"});
    EXPECT_EQ(written("Disk1.txt"), "Volume: Disk1\r\n"
                                    "\r\n"
                                    "Filename\tSize\r\n"
                                    "\r\n"
                                    "Z:\t4\r\n"
                                    "DOCS\t10\r\n"
                                    "A.TXT\t1234\r\n");
}

TEST_F(ExportFixture, TabsWithoutQuotesOrHeadersKeepEachRowOnOneLine) {
    describe(disk1, "files", "A.TXT", "line one\r\nline\ttwo \"q\", end");
    ExportFormat format = fields({ExportField::Name, ExportField::Description});
    format.tabs = true;
    format.quotes = false;
    format.headers = false;
    exportWith(format);
    EXPECT_EQ(written("Disk1.cdf"), "Z:\t\r\n"
                                    "DOCS\t\r\n"
                                    "A.TXT\tline one  line two \"q\", end\r\n");
}

TEST_F(ExportFixture, SearchResultsOfFilesOnly) {
    test::makeFile(folder("disk2"), "notes.txt", 1, at(1999, 1, 2, 9, 30));
    catalogAs("disk2", "Disk2", 'Y');
    test::writeAll(out.filePath("Disk2 (search results).cdf"), "an older export");
    test::RecordingSearchView searchView(state);
    SearchRequest search;
    search.criteria.named = "a.txt";
    search.searchFolders = false;
    SearchScan(catalog(), fileTypes(), state, searchView).run(search);

    const ExportOutcome outcome = exportWith(fields({ExportField::Name, ExportField::Path}), true);
    EXPECT_EQ(outcome.files, QStringList{out.filePath("Disk1 (search results).cdf")});
    EXPECT_EQ(written("Disk1 (search results).cdf"), "\"Filename\",\"Path\"\r\n"
                                                     "\"A.TXT\",\"Z:\\DOCS\"\r\n");
    EXPECT_EQ(filesOut(), QStringList{"Disk1 (search results).cdf"})
        << "Disk2 has no rows to write: its file is gone";
    EXPECT_EQ(view.captions.last(), "Export Search Results");
}

TEST_F(ExportFixture, SearchResultsOfTheVolumesSearched) {
    test::makeFile(folder("disk2"), "A.TXT", 1);
    const QString disk2 = catalogAs("disk2", "Disk2", 'Y');
    test::RecordingSearchView searchView(state);
    SearchRequest search;
    search.criteria.named = "a.txt";
    search.volumes = {false, {{disk2, "Disk2"}}};
    SearchScan(catalog(), fileTypes(), state, searchView).run(search);
    const ExportOutcome outcome = exportWith(fields({ExportField::Name, ExportField::Path}), true);
    EXPECT_EQ(outcome.files, QStringList{out.filePath("Disk2 (search results).cdf")});
}

TEST_F(ExportFixture, ADestinationEndingInASlashGetsNoSecond) {
    const ExportOutcome outcome = exportWith(fields({ExportField::Name}), false, out.path() + "/");
    EXPECT_EQ(outcome.files, QStringList{out.path() + "/Disk1.cdf"});
}

TEST_F(ExportFixture, VolumesWithoutRowsOrTablesLeaveNoFile) {
    db().execute("INSERT INTO \"index\" (tablename, name, volumetype) VALUES ('404', 'Lost', 9)");
    test::writeAll(out.filePath("Lost.cdf"), "an older export");
    exportWith({});
    EXPECT_EQ(filesOut(), QStringList{"Disk1.cdf"});
}

TEST_F(ExportFixture, VolumeNamesBecomeSafeAndDistinctFileNames) {
    const QString names[] = {
        "Photos/2024", "", "..", ".", "Disk1", "two\nlines", QString("nul") + QChar(0) + "name"};
    QChar letter = 'P';
    for (const QString& name : names) {
        const QString folderName = QString("v") + letter;
        test::makeFile(folder(folderName), "f.txt", 1);
        const QString id = catalogAs(folderName, "placeholder", letter);
        db().execute("UPDATE \"index\" SET name = ?1 WHERE tablename = ?2", name, id);
        letter = QChar(letter.unicode() + 1);
    }
    const ExportOutcome outcome = exportWith(fields({ExportField::Name}));
    EXPECT_EQ(outcome.result, Result::Written);
    QStringList files = filesOut();
    files.sort();
    EXPECT_EQ(files, (QStringList{"Disk1 (2).cdf", "Disk1.cdf", "Photos_2024.cdf", "_ (2).cdf",
                                  "_..cdf", "_.cdf", "nul_name.cdf", "two_lines.cdf"}));
}

TEST_F(ExportFixture, NoFieldOrNoVolumeIsRefusedAndWritesNothing) {
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

TEST_F(ExportFixture, StopEndsTheExportAfterTheCurrentRow) {
    for (int i = 0; i < 70; ++i)
        test::makeFile(folder("many"), QString("f%1.txt").arg(i), 1);
    catalogAs("many", "Big", 'Y'); // listed before Disk1
    view.stopWhen = [](const test::RecordingExportView& v) {
        return v.captions.contains("Exporting volume: Big") && v.yields > 40;
    };
    const ExportOutcome outcome = exportWith(fields({ExportField::Name}));
    EXPECT_EQ(outcome.result, Result::Aborted);
    EXPECT_EQ(filesOut(), QStringList{"Big.cdf"});
    // The header, the root's row, and its files' rows up to the 51st, whose yield stops it.
    EXPECT_EQ(written("Big.cdf").count("\r\n"), 1 + 1 + 51);
}
