#include "platform/ProgramFolder.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kestro::ProgramFolder;
using kestro::test::readAll;
using kestro::test::writeAll;

TEST(ProgramFolder, BuildTreeWithTemplateIsPortable) {
    QTemporaryDir exe;
    writeAll(exe.filePath("new.kst"), "template");
    EXPECT_EQ(ProgramFolder::resolve(exe.path(), QString()), QDir::cleanPath(exe.path()));
    EXPECT_EQ(readAll(exe.filePath("default.mdb")), "template");
}

TEST(ProgramFolder, InstalledProgramSeedsThePerUserFolderOnce) {
    QTemporaryDir exe, share, home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    writeAll(share.filePath("new.kst"), "template");
    QDir(share.path()).mkdir("help");
    writeAll(share.filePath("help/kestro2.html"), "help");

    const QString folder = ProgramFolder::resolve(exe.path(), share.path());
    EXPECT_EQ(folder, home.path() + "/kestro");
    EXPECT_EQ(readAll(folder + "/new.kst"), "template");
    EXPECT_EQ(readAll(folder + "/default.mdb"), "template");
    EXPECT_EQ(readAll(folder + "/help/kestro2.html"), "help");

    // After the first start the user's own files are never replaced, and a
    // default catalog the user removed is not brought back.
    writeAll(folder + "/Kestro.ini", "[Options]\n");
    writeAll(folder + "/new.kst", "edited");
    QFile::remove(folder + "/default.mdb");
    ProgramFolder::resolve(exe.path(), share.path());
    EXPECT_EQ(readAll(folder + "/new.kst"), "edited");
    EXPECT_FALSE(QFileInfo::exists(folder + "/default.mdb"));
    qunsetenv("XDG_DATA_HOME");
}

TEST(ProgramFolder, SeededFilesAreTheUsersOwnEvenFromAReadOnlyInstallation) {
    QTemporaryDir share, folder;
    writeAll(share.filePath("new.kst"), "template");
    writeAll(share.filePath("startup.wav"), "cue");
    for (const char* name : {"new.kst", "startup.wav"})
        QFile::setPermissions(share.filePath(name),
                              QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);

    ASSERT_TRUE(ProgramFolder::seed(folder.path(), share.path()));
    for (const char* name : {"new.kst", "default.mdb", "startup.wav"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(QFileInfo(folder.filePath(name)).permissions() & QFile::WriteOwner);
    }
    EXPECT_EQ(readAll(folder.filePath("default.mdb")), "template");
}
