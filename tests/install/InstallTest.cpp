// An installation into a prefix of its own, and the first start of the
// installed program by a user who has never run it.

#include "InstalledFiles.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kestro::test::kIntegrationFiles;
using kestro::test::kShareFiles;
using kestro::test::ProgramRun;
using kestro::test::readAll;
using kestro::test::runProgram;

namespace {

struct Installation : ::testing::Test {
    QTemporaryDir prefix;

    void SetUp() override {
        // Every install rule of the project is in CMake's default component.
        // Naming it makes CMake list the files in install_manifest_Unspecified.txt,
        // so the build tree's install_manifest.txt keeps listing the user's own
        // installation, which the README uninstalls by.
        const ProgramRun install = runProgram(QStringLiteral(KESTRO_CMAKE_COMMAND),
                                              {"--install", KESTRO_BUILD_DIR, "--prefix",
                                               prefix.path(), "--component", "Unspecified"});
        ASSERT_EQ(install.exitCode, 0) << install.out.toStdString() << install.err.toStdString();
    }
    QString installed(const QString& relative) const { return prefix.filePath(relative); }

    // A user who has never run the program: an empty home and data folder.
    QTemporaryDir home, dataHome;
    QString programFolder() const { return dataHome.filePath("kestro"); }
    QProcessEnvironment firstStart() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home.path());
        environment.insert("XDG_DATA_HOME", dataHome.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        return environment;
    }
};

} // namespace

TEST_F(Installation, PutsProgramsSharedFilesDesktopEntryManualPagesAndCompletionUnderThePrefix) {
    EXPECT_TRUE(QFileInfo(installed("bin/kestro-cli")).isExecutable());
#ifdef KESTRO_INSTALLS_DESKTOP_PROGRAM
    EXPECT_TRUE(QFileInfo(installed("bin/kestro")).isExecutable());
#endif
    // Beside the template the installed programs would take their own
    // folder for a portable program folder, and write into the prefix.
    EXPECT_FALSE(QFileInfo::exists(installed("bin/new.kst")));
    for (const QString& name : kShareFiles)
        EXPECT_TRUE(QFileInfo(installed("share/kestro/" + name)).size() > 0) << name.toStdString();
    for (const QString& path : kIntegrationFiles)
        EXPECT_TRUE(QFileInfo(installed(path)).size() > 0) << path.toStdString();

    // The desktop entry starts the installed program under the installed icon.
    QSettings entry(installed("share/applications/kestro.desktop"), QSettings::IniFormat);
    entry.beginGroup("Desktop Entry");
    EXPECT_EQ(entry.value("Exec").toString(), "kestro");
    const QString icon = entry.value("Icon").toString();
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString path =
            QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(icon);
        EXPECT_TRUE(QFileInfo::exists(installed(path))) << path.toStdString();
    }
}

TEST_F(Installation, FirstStartSeedsTheUsersProgramFolderAndOpensTheDefaultCatalog) {
    const ProgramRun info = runProgram(installed("bin/kestro-cli"), {"info"}, firstStart());
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    const QString folder = programFolder();
    EXPECT_TRUE(info.out.startsWith("Catalog: " + folder + "/default.mdb\n"))
        << info.out.toStdString();
    EXPECT_TRUE(info.out.contains(QRegularExpression("\nName: \\S"))) << info.out.toStdString();

    for (const QString& name : kShareFiles) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(QFileInfo::exists(folder + '/' + name));
        EXPECT_EQ(readAll(folder + '/' + name), readAll(installed("share/kestro/" + name)));
    }
    EXPECT_TRUE(QFileInfo(folder + "/default.mdb").size() > 0);
}

#ifdef KESTRO_INSTALLS_DESKTOP_PROGRAM
TEST_F(Installation, DesktopProgramStartsInAnEmptyHomeLoadsTheDefaultCatalogAndQuits) {
    const ProgramRun started =
        runProgram(installed("bin/kestro"), {"--quit-after-start"}, firstStart());
    ASSERT_EQ(started.exitCode, 0) << started.err.toStdString();
    EXPECT_TRUE(started.out.isEmpty()) << started.out.toStdString();

    // The folder was seeded (as the first start of kestro-cli shows in full),
    // the icon cache made, and the window that closed had the default catalog
    // open: closing writes the catalog in use.
    const QString folder = programFolder();
    EXPECT_TRUE(QFileInfo(folder + "/default.mdb").size() > 0);
    EXPECT_FALSE(QDir(folder + "/resources").isEmpty());
    QSettings settings(folder + "/Kestro.ini", QSettings::IniFormat);
    EXPECT_EQ(settings.value("Environment/LastLoadedFile").toString(), folder + "/default.mdb");
}
#endif
