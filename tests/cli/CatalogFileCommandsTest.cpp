#include "CliRunner.h"
#include "catalog/Catalog.h"
#include "platform/IniFile.h"
#include "support/PrivatePostgres.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestro;
using kestro::test::runCli;

TEST(CliCatalogFile, NewThenInfoOnTheNewCatalogFileOrHostedCatalog) {
    QTemporaryDir home, work;
    for (const QString& location :
         {work.filePath("x.mdb"), test::PrivatePostgres::instance().createDatabase()}) {
        const auto made = runCli(home.path(), {"new", location});
        ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
        EXPECT_EQ(made.out, "Created the catalog " + location + "\n");
        const auto info = runCli(home.path(), {"info", "--catalog", location});
        ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
        EXPECT_TRUE(info.out.contains("Catalog: " + location + "\n")) << info.out.toStdString();
        EXPECT_TRUE(info.out.contains("Name: Kestro Catalog")) << info.out.toStdString();
        EXPECT_TRUE(info.out.contains("Volumes: 0"));
    }
}

TEST(CliCatalogFile, CopyMakesTheNewCatalogFromTheOneGivenAndNeedsBothEnds) {
    QTemporaryDir home, work;
    const QString file = work.filePath("x.mdb");
    const QString hosted = test::PrivatePostgres::instance().createDatabase();
    ASSERT_EQ(runCli(home.path(), {"new", file}).exitCode, 0);
    const auto copied = runCli(home.path(), {"copy", "--from", file, "--to", hosted});
    ASSERT_EQ(copied.exitCode, 0) << copied.err.toStdString();
    EXPECT_EQ(copied.out, "Copied the catalog " + file + " to " + hosted + "\n");
    EXPECT_TRUE(runCli(home.path(), {"info", "--catalog", hosted}).out.contains("Volumes: 0"));
    const auto again = runCli(home.path(), {"copy", "--from", file, "--to", hosted});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains("already holds a catalog")) << again.err.toStdString();
    EXPECT_EQ(runCli(home.path(), {"copy", "--to", work.filePath("y.mdb")}).exitCode, 2);
}

TEST(CliCatalogFile, InfoListsCategoriesAndVolumesOfTheCurrentCatalog) {
    QTemporaryDir home;
    ASSERT_EQ(runCli(home.path(), {"info"}).exitCode, 0) << "the first start seeds default.mdb";
    const Database db = Catalog(home.filePath("default.mdb"), OpenMode::SharedReadWrite).open();
    db.execute("INSERT INTO categories (category) VALUES ('Games \"old\"')");
    db.execute("INSERT INTO \"index\" (tablename, name, category, dirs, files) "
               "VALUES ('71330842', 'Disk 100%', '1', 12, 1874)");
    const auto info = runCli(home.path(), {"info"});
    EXPECT_TRUE(info.out.contains("  1  Games \"old\"")) << info.out.toStdString();
    EXPECT_TRUE(info.out.contains("71330842  Disk 100%  category 1  12 folders  1,874 files"))
        << info.out.toStdString();
}

TEST(CliCatalogFile, WritingCommandsAreRefusedInReadOnlyMode) {
    QTemporaryDir home, work;
    ASSERT_EQ(runCli(home.path(), {"info"}).exitCode, 0) << "the first start seeds default.mdb";
    IniFile(home.filePath("Kestro.ini")).setValue("Options", "oNetworkShared", "0");
    for (const QStringList& args : {QStringList{"new", work.filePath("y.mdb")},
                                    QStringList{"compact"}, QStringList{"sweep"}}) {
        const auto r = runCli(home.path(), args);
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_EQ(r.err, kReadOnlyMessage + "\n");
    }
    EXPECT_FALSE(QFile::exists(work.filePath("y.mdb")));
    EXPECT_EQ(runCli(home.path(), {"info"}).exitCode, 0) << "reading is allowed";
}

TEST(CliCatalogFile, ADamagedCatalogGivesAClearMessageAndAFailingStatus) {
    QTemporaryDir home, work;
    test::writeAll(work.filePath("bad.mdb"), QByteArray(5000, '\x7f'));
    const auto r = runCli(home.path(), {"info", "--catalog", work.filePath("bad.mdb")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("cannot be read as a catalog")) << r.err.toStdString();
}

TEST(CliCatalogFile, UsageErrorsExitWithTwo) {
    QTemporaryDir home;
    EXPECT_EQ(runCli(home.path(), {"new"}).exitCode, 2);
    EXPECT_EQ(runCli(home.path(), {"frobnicate"}).exitCode, 2);
    const auto noCommand = runCli(home.path(), {"--catalog", "x.mdb"}); // --home follows
    EXPECT_EQ(noCommand.exitCode, 2);
    EXPECT_TRUE(noCommand.out.startsWith("Usage: kestro-cli COMMAND"))
        << noCommand.out.toStdString();
    const auto help = runCli(home.path(), {"compact", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: kestro-cli compact")) << help.out.toStdString();
}
