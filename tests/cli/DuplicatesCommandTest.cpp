// duplicates: groups of copies and single copies as TAB lines and JSON Lines.

#include "CliRunner.h"
#include "support/DuplicatesFixture.h"

#include <QJsonDocument>
#include <QJsonObject>

using namespace kestro;

namespace {

class CliDuplicates : public test::DuplicatesFixture {
protected:
    test::CliResult run(const QStringList& arguments) {
        return test::runCli(home.path(),
                            QStringList{"duplicates", "--catalog", catalogPath} + arguments);
    }
};

} // namespace

TEST_F(CliDuplicates, PrintsOneLinePerFileOfEachGroupOrEachSingleCopy) {
    struct Case {
        QStringList arguments;
        QString out, err;
    };
    const Case cases[] = {
        {{"--size-at-least", "3"},
         "1\t2\t80KB\tAlpha\tZ:\tsong.mp3\t40KB\t12/25/98 10:05pm\n"
         "1\t2\t80KB\tAlpha\tZ:\\twice\tsong.mp3\t40KB\t12/25/98 10:05pm\n"
         "2\t3\t9KB\tAlpha\tZ:\\DOCS\treport.txt\t3KB\t12/25/98 10:05pm\n"
         "2\t3\t9KB\tBeta\tY:\\backup\treport.txt\t3KB\t12/25/98 10:05pm\n"
         "2\t3\t9KB\tGamma\tX:\treport.txt\t3KB\t12/25/98 10:05pm\n",
         "2 groups of duplicates, 5 files\n"},
        {{"--volume", "Beta", "--volume", "Alpha", "--name", "*.doc", "--with-date"},
         "",
         "0 groups of duplicates, 0 files\n"},
        {{"--only-on", "Gamma"},
         "Gamma\tX:\tonly.bin\t1KB\t12/25/98 10:05pm\n",
         "1 single copies\n"},
        {{"--only-on", "Nowhere"}, "", "The catalog has no volume \"Nowhere\".\n"},
        {{"--only-on", "Gamma", "--volume", "Beta"}, "", "Give --volume or --only-on, not both.\n"},
        {{"--size-at-least", "many"}, "", "\"many\" is not a number of kilobytes.\n"},
    };
    for (const Case& c : cases) {
        const test::CliResult result = run(c.arguments);
        EXPECT_EQ(result.out, c.out) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(result.err, c.err) << c.arguments.join(' ').toStdString();
    }
}

TEST_F(CliDuplicates, JsonHasNumbersBesideTheTexts) {
    const test::CliResult result = run({"--name", "notes", "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QStringList lines = result.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    QStringList volumes;
    for (const QString& line : lines) {
        const QJsonObject file = QJsonDocument::fromJson(line.toUtf8()).object();
        EXPECT_EQ(file["group"].toInteger(), 1);
        EXPECT_EQ(file["copies"].toInteger(), 2);
        EXPECT_EQ(file["total_kilobytes"].toInteger(), 4);
        EXPECT_EQ(file["kilobytes"].toInteger(), 2);
        EXPECT_EQ(file["size_text"].toString(), "2KB");
        EXPECT_EQ(file["name"].toString(), "notes.doc");
        EXPECT_EQ(file["location"].toString().size(), 2) << "the volume's root";
        volumes << file["volume"].toString();
    }
    EXPECT_EQ(volumes, (QStringList{"Alpha", "Beta"}));
    const QJsonObject single =
        QJsonDocument::fromJson(run({"--only-on", "Gamma", "--json"}).out.toUtf8()).object();
    EXPECT_EQ(single["modified"].toString(), "1998-12-25T22:05:00");
    EXPECT_FALSE(single.contains("group"));
}
