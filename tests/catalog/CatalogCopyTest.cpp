#include "catalog/CatalogCopy.h"

#include "catalog/Catalog.h"
#include "catalog/CatalogEditing.h"
#include "catalog/CatalogError.h"
#include "catalog/ChangeReport.h"
#include "catalog/FolderRuns.h"
#include "catalog/HostedNameIndex.h"
#include "catalog/NameIndex.h"
#include "catalog/Schema.h"
#include "support/CatalogBuilder.h"
#include "support/CatalogEngines.h"
#include "support/FileTree.h"

#include <QDateTime>
#include <QFile>
#include <gtest/gtest.h>

using namespace kestro;
using test::PrivatePostgres;

namespace {

// A value as a text that tells its kind: numbers of the two kinds, Null and
// texts never read alike.
QString kindAndValue(const SqlValue& value) {
    if (isNull(value))
        return "null";
    if (const auto* whole = std::get_if<qint64>(&value))
        return "integer " + QString::number(*whole);
    if (const auto* real = std::get_if<double>(&value))
        return "real " + QString::number(*real, 'g', 17);
    return "text " + std::get<QString>(value);
}

// Every row of every table but the name index's and the folder runs' (which
// a file gets anew and a server has none of), by
// table name in lower case, each row as its values (kindAndValue): a volume's
// rows and the change runs in the order they were added, others sorted.
std::map<QString, std::vector<QStringList>> contentsOf(const QString& location) {
    const Database db = Catalog(location, OpenMode::SharedReadWrite).open();
    std::map<QString, std::vector<QStringList>> contents;
    for (const QString& table : db.tableNames()) {
        if (IsNameIndexTable(table) || IsFolderRunsTable(table) || table == "kestro_schema" ||
            table == schema::kHostedCommitsTable)
            continue;
        const bool ordered =
            table.endsWith("_dirs") || table.endsWith("_files") || table == changes::kRunsTable;
        Statement rows = db.prepare("SELECT * FROM " + quoteIdentifier(table) +
                                    (ordered ? " ORDER BY rowid" : ""));
        auto& kept = contents[table.toLower()];
        // A server's own rowid column; a file's is never among the columns.
        int rowid = -1;
        try {
            rowid = rows.column("rowid");
        } catch (const CatalogError&) {
        }
        while (rows.next()) {
            QStringList row;
            for (int c = 0; c < rows.columnCount(); ++c)
                if (c != rowid)
                    row << kindAndValue(rows.value(c));
            kept.push_back(row);
        }
        if (!ordered)
            std::sort(kept.begin(), kept.end());
    }
    return contents;
}

} // namespace

TEST(CatalogCopy, AFileCopiedToAServerAndBackHasTheSameRows) {
    QTemporaryDir home, disks;
    const QString original = test::makeCatalogFile(home.filePath("original.mdb"));
    const QDateTime when(QDate(1998, 3, 5), QTime(14, 7));
    test::makeFile(disks.filePath("a"), "DOCS/Tom's \"notes\" 100%.txt", 1234, when);
    test::makeFile(disks.filePath("a"), "DOCS/größe 日本.txt", 5, when);
    test::makeFile(disks.filePath("b"), "x.bin", 2048 * 1024, when);
    const QString a =
        test::catalogFolder(home.path(), original, disks.filePath("a"), "Disk A", 'V');
    test::catalogFolder(home.path(), original, disks.filePath("b"), "Disk B", 'W');
    test::makeFile(disks.filePath("a"), "new.txt", 1, when);
    test::catalogFolder(home.path(), original, disks.filePath("a"), "Disk A", 'V');
    {
        const Database db = Catalog(original, OpenMode::SharedReadWrite).open();
        CategorizeVolume(db, a, AddCategory(db, "Old \"games\""));
        DescribeFile(db, a, "V:\\DOCS", "größe 日本.txt", QString("line\nbreak"));
        RenameCatalog(db, "Family's media");
        ASSERT_EQ(ReadChanges(db, a).size(), 1u);
    }

    const QString hosted = PrivatePostgres::instance().createDatabase();
    copyCatalog(Catalog(original, OpenMode::SharedReadWrite), hosted, test::templatePath());
    const QString back = home.filePath("back.mdb");
    copyCatalog(Catalog(hosted, OpenMode::SharedReadWrite), back, test::templatePath());

    const auto before = contentsOf(original);
    EXPECT_EQ(contentsOf(hosted), before);
    EXPECT_EQ(contentsOf(back), before);
    EXPECT_EQ(before.at(schema::filesTable(a).toLower()).size(), 3u);
    EXPECT_TRUE(HostedNamesIndexed(Database::open(hosted, OpenMode::SharedReadWrite),
                                   schema::filesTable(a)));
    // The copy's name index finds what the original's does.
    EXPECT_TRUE(HasNameIndex(Catalog(back, OpenMode::SharedReadWrite).open()));
}

TEST(CatalogCopy, ACopyThatFailsLeavesNoCatalogWhereItWasToGo) {
    QTemporaryDir home;
    const QString original = test::makeCatalogFile(home.filePath("original.mdb"));
    RenameCatalog(Catalog(original, OpenMode::SharedReadWrite).open(),
                  QString("nul") + QChar(0) + "name");
    const QString hosted = PrivatePostgres::instance().createDatabase();
    EXPECT_THROW(
        copyCatalog(Catalog(original, OpenMode::SharedReadWrite), hosted, test::templatePath()),
        CatalogError);
    EXPECT_NO_THROW(createHostedCatalog(hosted)) << "the database was left empty";

    // A copy never goes over a catalog.
    const QString existing = test::makeCatalogFile(home.filePath("existing.mdb"));
    const QByteArray bytes = test::readAll(existing);
    for (const QString& target : {existing, hosted})
        EXPECT_THROW(
            copyCatalog(Catalog(hosted, OpenMode::SharedReadWrite), target, test::templatePath()),
            CatalogError);
    EXPECT_EQ(test::readAll(existing), bytes);

    // A source that cannot be read makes no file.
    const QString back = home.filePath("back.mdb");
    PrivatePostgres::instance().run(hosted.section('/', -1), "DROP TABLE categories");
    EXPECT_THROW(
        copyCatalog(Catalog(hosted, OpenMode::SharedReadWrite), back, test::templatePath()),
        CatalogError);
    EXPECT_FALSE(QFile::exists(back));
}
