// The Debian package: made by CPack from the build, read back with dpkg-deb,
// checked by lintian, unpacked and run from where it was unpacked.

#include "InstalledFiles.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kestro::test::ProgramRun;
using kestro::test::runProgram;

namespace {

struct DebianPackage : ::testing::Test {
    QTemporaryDir folder;
    QString package;

    void SetUp() override {
        if (QStandardPaths::findExecutable("dpkg-deb").isEmpty())
            GTEST_SKIP() << "dpkg-deb is missing (package dpkg): no Debian package is made";
        const ProgramRun made =
            runProgram(QStringLiteral(KESTRO_CPACK_COMMAND),
                       {"--config", KESTRO_BUILD_DIR "/CPackConfig.cmake", "-B", folder.path()});
        ASSERT_EQ(made.exitCode, 0) << made.out.toStdString() << made.err.toStdString();
        const QStringList packages =
            QDir(folder.path()).entryList({"kestro_" KESTRO_VERSION "_*.deb"});
        ASSERT_EQ(packages.size(), 1) << made.out.toStdString();
        package = folder.filePath(packages.first());
    }
};

} // namespace

TEST_F(DebianPackage, NamesItsVersionAndTheLibrariesItNeedsAndPassesLintian) {
    const ProgramRun info = runProgram("dpkg-deb", {"--info", package});
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    auto field = [&](const char* name) {
        return QRegularExpression(QStringLiteral("^ %1: (.*)$").arg(name),
                                  QRegularExpression::MultilineOption)
            .match(info.out)
            .captured(1);
    };
    EXPECT_EQ(field("Package"), "kestro");
    EXPECT_EQ(field("Version"), KESTRO_VERSION);
    EXPECT_EQ(field("Section"), "utils");
    EXPECT_TRUE(field("Maintainer").startsWith("Kestro Pro")) << info.out.toStdString();
    // Found by dpkg-shlibdeps in the two programs, with the versions they need.
    for (const char* library : {"libc6 (>= ", "libqt6core6 (>= ", "libqt6widgets6 (>= ",
                                "libqt6multimedia6 (>= ", "libsqlite3-0 (>= ", "libblkid1 (>= "})
        EXPECT_TRUE(field("Depends").contains(library)) << library << info.out.toStdString();

    // Errors make lintian fail; its warnings and notes are shown, not judged.
    const ProgramRun lintian = runProgram("lintian", {package});
    EXPECT_EQ(lintian.exitCode, 0) << lintian.out.toStdString() << lintian.err.toStdString();
}

TEST_F(DebianPackage, UnpackedProgramsStartInAnEmptyHome) {
    QTemporaryDir root, home;
    ASSERT_EQ(runProgram("dpkg-deb", {"--extract", package, root.path()}).exitCode, 0);
    const QString usr = root.filePath("usr");
    for (const QString& path : kestro::test::kIntegrationFiles)
        EXPECT_TRUE(QFileInfo(usr + '/' + path).size() > 0) << path.toStdString();
    for (const QString& name : kestro::test::kShareFiles)
        EXPECT_TRUE(QFileInfo(usr + "/share/kestro/" + name).size() > 0) << name.toStdString();
    EXPECT_TRUE(QFileInfo::exists(usr + "/share/doc/kestro/copyright"));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    environment.remove("XDG_DATA_HOME");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    const ProgramRun started = runProgram(usr + "/bin/kestro", {"--quit-after-start"}, environment);
    EXPECT_EQ(started.exitCode, 0) << started.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(home.filePath(".local/share/kestro/default.mdb")));

    const QString catalog = home.filePath("x.mdb");
    const ProgramRun made = runProgram(usr + "/bin/kestro-cli", {"new", catalog}, environment);
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    const ProgramRun info =
        runProgram(usr + "/bin/kestro-cli", {"info", "--catalog", catalog}, environment);
    EXPECT_EQ(info.exitCode, 0) << info.err.toStdString();
    EXPECT_TRUE(info.out.startsWith("Catalog: " + catalog + "\nName: Kestro Catalog\n"))
        << info.out.toStdString();
}
