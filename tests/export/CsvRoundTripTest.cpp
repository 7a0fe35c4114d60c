#include "catalog/Schema.h"
#include "export/ExportRun.h"
#include "support/CatalogFixture.h"
#include "support/RecordingView.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

using namespace kestro;

namespace {

// The rows of a delimited file as Python's csv module reads them.
QList<QStringList> readWithPythonCsv(const QString& path, const QString& delimiter) {
    QProcess python;
    python.start("python3", {"-c",
                             "import csv, json, sys\n"
                             "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                             "    print(json.dumps(list(csv.reader(f, delimiter=sys.argv[2]))))\n",
                             path, delimiter});
    python.waitForFinished(30000);
    QList<QStringList> rows;
    for (const QJsonValue row : QJsonDocument::fromJson(python.readAllStandardOutput()).array())
        rows << row.toVariant().toStringList();
    return rows;
}

class CsvRoundTrip : public test::CatalogFixture {};

} // namespace

TEST_F(CsvRoundTrip, SpreadsheetsReadBackExactlyWhatTheCatalogHolds) {
    const QStringList names{"say \"hi\", ok.txt", "tab\there.txt", "comma,name.txt", "日本語 ü.txt",
                            "plain"};
    for (const QString& name : names)
        test::makeFile(folder("odd"), "a, \"b\"/" + name, 1);
    const QString id = catalogAs("odd", "Disk \"1\", odd");
    describe(id, "files", "plain", "two\r\nlines, \"quoted\"\tand a tab");
    describe(id, "files", "comma,name.txt", "\"");

    // What the catalog holds, file rows in table order.
    QList<QStringList> expected;
    Statement rows = db().prepare("SELECT name, parent, coalesce(thedescription, '') FROM " +
                                  quoteIdentifier(schema::filesTable(id)) + " ORDER BY rowid");
    while (rows.next())
        expected << QStringList{rows.text(0), rows.text(1), rows.text(2)};
    ASSERT_EQ(expected.size(), names.size());

    for (const bool tabs : {false, true}) {
        QTemporaryDir out;
        SearchState state;
        test::RecordingView view(state);
        ExportRequest request;
        request.folder = out.path();
        request.format.tabs = tabs;
        const ExportOutcome outcome = ExportRun(catalog(), fileTypes(), state, view).run(request);
        ASSERT_EQ(outcome.files.size(), 1);

        const QList<QStringList> read = readWithPythonCsv(outcome.files[0], tabs ? "\t" : ",");
        ASSERT_EQ(read.size(), 1 + 2 + names.size()) << "header, root and folder, files";
        EXPECT_EQ(read[0], (QStringList{"Filename", "Path", "Volume", "Size", "Modified date",
                                        "Description", "Type"}));
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const QStringList& row = read[3 + i];
            ASSERT_EQ(row.size(), 7);
            EXPECT_EQ((QStringList{row[0], row[1], row[5]}), expected[i]);
            EXPECT_EQ(row[2], "Disk \"1\", odd");
        }
    }
}
