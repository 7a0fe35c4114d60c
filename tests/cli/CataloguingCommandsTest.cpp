#include "CliRunner.h"
#include "platform/IniFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestro;
using kestro::test::runCli;

namespace {

struct CliVolume : ::testing::Test {
    QTemporaryDir home, volume;
    void SetUp() override {
        QDir(volume.path()).mkpath("GAMES/DOOM");
        test::writeAll(volume.filePath("readme.txt"), "hello");
        test::writeAll(volume.filePath("GAMES/DOOM/it's 100%.sav"), QByteArray(3000, 'x'));
    }
};

} // namespace

TEST_F(CliVolume, CataloguesAFolderThroughAMappedLetterAndListsIt) {
    const auto made = runCli(home.path(), {"catalog", volume.path(), "--name", "Disk \"one\""});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    EXPECT_TRUE(made.out.contains("2 folders, 2 files")) << made.out.toStdString();
    const QRegularExpressionMatch mapped =
        QRegularExpression("Mapped ([D-Z]): to (.*)\n").match(made.err);
    ASSERT_TRUE(mapped.hasMatch()) << made.err.toStdString();
    const QString letter = mapped.captured(1);
    EXPECT_EQ(mapped.captured(2), volume.path());
    EXPECT_EQ(IniFile(home.filePath("Kestro.ini")).value("Drives", letter), volume.path());

    const auto volumes = runCli(home.path(), {"volumes"});
    const QStringList fields = volumes.out.trimmed().split('\t');
    ASSERT_GE(fields.size(), 6) << volumes.out.toStdString();
    EXPECT_EQ(fields[1], "Disk \"one\"");
    EXPECT_EQ(fields[4], "3") << "folders, the root included";

    EXPECT_EQ(runCli(home.path(), {"ls", "Disk \"one\""})
                  .out.section('\t', 0, 0, QString::SectionSkipEmpty),
              "GAMES\\");
    const auto doom = runCli(home.path(), {"ls", fields[0], "Q:\\GAMES\\DOOM"});
    EXPECT_TRUE(doom.out.startsWith("it's 100%.sav\t3KB\t")) << doom.out.toStdString();
    EXPECT_EQ(runCli(home.path(), {"ls", fields[0], "GAMES/DOOM"}).out, doom.out);

    // The second time the same folder keeps its letter and its name.
    const auto again = runCli(home.path(), {"catalog", volume.path()});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_FALSE(again.err.contains("Mapped"));
    QStringList after = runCli(home.path(), {"volumes"}).out.trimmed().split('\t');
    QStringList before = fields;
    after.removeAt(6); // the date catalogued is all that changes
    before.removeAt(6);
    EXPECT_EQ(after, before);
}

TEST_F(CliVolume, TimingsTellWhenEachStepOfTheRunBegan) {
    const auto made =
        runCli(home.path(), {"catalog", volume.path(), "--name", "timed", "--timings"});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    QStringList steps;
    double last = 0;
    for (const QString& line : made.err.split('\n', Qt::SkipEmptyParts)) {
        const qsizetype space = line.indexOf(' ');
        bool number = false;
        const double at = line.left(space).toDouble(&number);
        if (!number)
            continue; // "Mapped X: to ..."
        EXPECT_GE(at, last) << line.toStdString();
        last = at;
        steps << line.mid(space + 1);
    }
    EXPECT_EQ(steps.filter("Import"),
              (QStringList{"Importing Directories...", "Importing Files..."}));
    ASSERT_FALSE(steps.isEmpty());
    EXPECT_LT(steps.indexOf("Recursing Volume..."), steps.indexOf("Importing Directories..."));
    EXPECT_EQ(steps.last(), "end");
}

TEST_F(CliVolume, ANewVolumeWithoutANameIsNotCatalogued) {
    const auto r = runCli(home.path(), {"catalog", volume.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("--name")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("No volume description entered.  Won't catalog volume."));
    EXPECT_TRUE(runCli(home.path(), {"volumes"}).out.isEmpty());
}

TEST_F(CliVolume, MistakesGetClearMessages) {
    EXPECT_EQ(runCli(home.path(), {"catalog", volume.filePath("nothing-here")}).exitCode, 1);
    ASSERT_EQ(runCli(home.path(), {"catalog", volume.path(), "--name", "x"}).exitCode, 0);
    const auto noVolume = runCli(home.path(), {"ls", "no such volume"});
    EXPECT_EQ(noVolume.exitCode, 1);
    EXPECT_TRUE(noVolume.err.contains("no volume \"no such volume\""));
    const auto noFolder = runCli(home.path(), {"ls", "x", "NOPE"});
    EXPECT_EQ(noFolder.exitCode, 1);
    EXPECT_TRUE(noFolder.err.contains(":\\NOPE\"")) << noFolder.err.toStdString();
}
