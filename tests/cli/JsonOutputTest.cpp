// --json: one JSON object per line, whatever the catalog's names and
// descriptions hold, with numbers and local times beside the stored texts.

#include "CliRunner.h"
#include "support/CatalogFixture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <fcntl.h>
#include <unistd.h>

using namespace kestro;
using kestro::test::at;

namespace {

// The objects of JSON Lines output. Qt's reader lets a raw control character
// inside a text pass, which JSON forbids, so that is looked for first, and so
// are the line and paragraph separators, which some readers split lines at.
std::vector<QJsonObject> objectsOf(const test::CliResult& run) {
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    std::vector<QJsonObject> objects;
    for (const QString& line : run.out.split('\n', Qt::SkipEmptyParts)) {
        EXPECT_FALSE(line.contains(QRegularExpression("[\\x{0}-\\x{1f}\\x{2028}\\x{2029}]")))
            << line.toStdString();
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
        objects.push_back(document.object());
    }
    return objects;
}

QStringList texts(const std::vector<QJsonObject>& objects, const char* key) {
    QStringList values;
    for (const QJsonObject& object : objects)
        values << object[key].toString();
    values.sort();
    return values;
}

// A volume whose names hold quotes, a line break and bytes that are not
// UTF-8, and a description that holds every kind of character JSON escapes.
class CliJson : public test::CatalogFixture {
protected:
    const QString volumeName = "Disk \"odd\" \\ 1";
    const QString description = "back\\slash \"quoted\"\ttab\nline\x01\x1f\u2028 end";
    QString volume;
    QByteArray badName; // removed by hand: QTemporaryDir cannot remove what is not UTF-8

    void SetUp() override {
        test::makeFile(folder("odd"), "sub/say \"hi\".txt", 1500, at(1998, 12, 25, 22, 5));
        test::makeFile(folder("odd"), "two\nlines.txt", 10);
        badName = QFile::encodeName(folder("odd")) + "/bad\xff.txt";
        ::close(::open(badName.constData(), O_WRONLY | O_CREAT, 0644));
        volume = catalogAs("odd", volumeName);
        describe(volume, "files", "say \"hi\".txt", description);
    }
    void TearDown() override { ::unlink(badName.constData()); }
    std::vector<QJsonObject> json(const QString& command, QStringList arguments) const {
        return objectsOf(test::runCli(
            home.path(), QStringList{command, "--json", "--catalog", catalogPath} + arguments));
    }
};

} // namespace

TEST_F(CliJson, NamesAndDescriptionsComeBackExactlyFromEveryCommand) {
    const auto listed = json("volumes", {});
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0]["name"].toString(), volumeName);
    EXPECT_EQ(listed[0]["id"].toString(), volume);

    EXPECT_EQ(texts(json("ls", {volume}), "name"),
              (QStringList{"bad\uFFFD.txt", "sub", "two\u240Alines.txt"}))
        << "stored with visible substitutes, given back as stored";
    const auto sub = json("ls", {volumeName, "sub"});
    ASSERT_EQ(sub.size(), 1u);
    EXPECT_EQ(sub[0]["name"].toString(), "say \"hi\".txt");
    EXPECT_EQ(sub[0]["description"].toString(), description);

    const auto found = json("search", {"--description", "slash"});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]["volume"].toString(), volumeName);
    EXPECT_EQ(found[0]["location"].toString(), "Z:\\sub");
    EXPECT_EQ(found[0]["description"].toString(), description);
    EXPECT_FALSE(found[0]["type"].toString().isEmpty()) << "a file's type, as in the list";
    EXPECT_EQ(texts(json("search", {"--name", "*"}), "kind"),
              (QStringList{"file", "file", "file", "folder", "folder"}));
}

TEST_F(CliJson, NumbersAndLocalTimesStandBesideTheStoredTexts) {
    const QJsonObject file = json("ls", {volume, "sub"}).at(0);
    EXPECT_EQ(file["kind"].toString(), "file");
    EXPECT_EQ(file["kilobytes"].toDouble(-1), 2);
    EXPECT_EQ(file["size_text"].toString(), "2KB");
    EXPECT_EQ(file["modified"].toString(), "1998-12-25T22:05:00");
    EXPECT_EQ(file["modified_text"].toString(), "12/25/98 10:05pm");
    EXPECT_EQ(json("search", {"--name", "say"}).at(0)["modified"], file["modified"]);

    const QJsonObject disk = json("volumes", {}).at(0);
    EXPECT_EQ(disk["folders"].toDouble(-1), 2) << "the root and sub";
    EXPECT_EQ(disk["files"].toDouble(-1), 4) << "three and the marker file";
    EXPECT_GT(disk["size_bytes"].toDouble(), disk["free_bytes"].toDouble());
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d$")
                    .match(disk["catalogued"].toString())
                    .hasMatch())
        << disk["catalogued"].toString().toStdString();
    EXPECT_EQ(QDateTime::fromString(disk["catalogued"].toString(), Qt::ISODate),
              QDateTime::fromString(disk["catalogued_text"].toString(), "M/d/yyyy h:mm:ss AP"));

    const auto both = test::runCli(home.path(), {"search", "--json", "--csv"});
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_EQ(both.err, "Give --csv or --json, not both.\n");
}
