#include "cataloguing/ListingWriter.h"

#include "TimeZone.h"
#include "support/FilePermissionsApply.h"
#include "support/ScratchMount.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kestro {
namespace {

using test::localDateText;
using test::readAll;

// One listing line from its fields: separated by 0xFE, ended by CR LF.
std::string line(std::initializer_list<std::string_view> fields) {
    std::string text;
    for (const std::string_view field : fields) {
        if (!text.empty())
            text.push_back('\xFE');
        text.append(field);
    }
    return text + "\r\n";
}

std::size_t openDescriptors() {
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size();
}

class ListingWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp_.isValid());
        base_ = QFile::encodeName(temp_.path()).toStdString();
        root_ = base_ + "/root";
        ASSERT_EQ(::mkdir(root_.c_str(), 0755), 0);
        filesPath_ = temp_.filePath(QStringLiteral("files.txt"));
        dirsPath_ = temp_.filePath(QStringLiteral("dirs.txt"));
    }
    // Byte by byte: names that are no UTF-8 are beyond QTemporaryDir.
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    std::string at(const std::string& relative) const { return root_ + "/" + relative; }

    void makeFolder(const std::string& relative) {
        ASSERT_EQ(::mkdir(at(relative).c_str(), 0755), 0) << relative;
    }

    // A sparse file of `size` bytes modified at `modified`.
    void makeFile(const std::string& relative, off_t size, std::int64_t modified) {
        const int fd = ::open(at(relative).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        ASSERT_GE(fd, 0) << relative;
        ASSERT_EQ(::ftruncate(fd, size), 0);
        ::close(fd);
        setModified(relative, modified);
    }

    // Sets the modification time of the entry itself (of a link, not its target).
    void setModified(const std::string& relative, std::int64_t modified) {
        const timespec times[2] = {{modified, 0}, {modified, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, at(relative).c_str(), times, AT_SYMLINK_NOFOLLOW), 0)
            << relative;
    }

    ListingRequest request() const {
        return {QFile::decodeName(root_.c_str()), QStringLiteral("D:"), filesPath_, dirsPath_};
    }

    ListingResult writeListings(unsigned threads = 0) {
        ListingWriter writer(request(), threads);
        return writer.wait();
    }

    std::string fileListing() const { return readAll(filesPath_).toStdString(); }
    std::string folderListing() const { return readAll(dirsPath_).toStdString(); }
    bool noListingLeft() const { return !QFile::exists(filesPath_) && !QFile::exists(dirsPath_); }

    // A tree of some 3,700 files in nested folders, one folder big enough to
    // be shared between threads; names in mixed case and punctuation.
    // Returns the number of files.
    int makeGeneratedTree() {
        std::mt19937 random(42);
        const std::string letters = "abcXYZ019._- %'";
        auto name = [&] {
            std::string text;
            for (int i = 0, n = 1 + static_cast<int>(random() % 8); i < n; ++i)
                text.push_back(letters[random() % letters.size()]);
            return random() % 10 == 0 ? text + "\xC3\xA9" : text; // é
        };
        int files = 2600;
        auto fill = [&](auto& self, const std::string& folder, int depth) -> void {
            for (int i = 0, n = static_cast<int>(random() % 20); i < n; ++i, ++files) {
                const std::string file = folder + "/" + name() + "." + std::to_string(i);
                makeFile(file, static_cast<off_t>(random() % 100000),
                         315532800 + static_cast<std::int64_t>(random() % 1600000000));
            }
            for (int i = 0, n = depth < 5 ? static_cast<int>(random() % 5) : 0; i < n; ++i) {
                const std::string sub = folder + "/" + name() + "~" + std::to_string(i);
                makeFolder(sub);
                self(self, sub, depth + 1);
                setModified(sub, 946684800 + static_cast<std::int64_t>(random() % 800000000));
            }
        };
        makeFolder("big");
        for (int i = 0; i < 2600; ++i)
            makeFile("big/" + name() + "#" + std::to_string(i), i, 1000000000 + i * 7919);
        fill(fill, ".", 0);
        return files;
    }

    const test::TimeZone zone_{"Europe/Berlin"}; // dates in summer and winter time
    QTemporaryDir temp_;
    std::string base_;
    std::string root_;
    QString filesPath_;
    QString dirsPath_;
};

TEST_F(ListingWriterTest, WritesTheListingFormatByteForByte) {
    ASSERT_TRUE(writeListings().succeeded()); // an empty root: the root line alone
    EXPECT_EQ(folderListing(), line({"D:", "0"}));
    EXPECT_EQ(fileListing(), "");

    makeFolder("A");
    makeFolder("A/Inner");
    makeFolder("Empty");
    makeFile("b.txt", 5, 981169506);                 // 2001-02-03 04:05:06, winter time
    makeFile("a.txt", 0, 1279231199);                // 2010-07-15 23:59:59, summer time
    makeFile("A/z.bin", 1000, 946638000);            // 1999-12-31 12:00:00
    makeFile("A/.hidden", 3, 1585445400);            // 2020-03-29 03:30:00, just after the switch
    makeFile("A/Inner/deep.dat", 70000, 1729988100); // 2024-10-27 02:15:00, a switch day
    setModified("A/Inner", 799643105);               // 1995-05-05 05:05:05
    setModified("A", 1659340800);                    // 2022-08-01 10:00:00
    setModified("Empty", 981169506);

    for (const unsigned threads : {1u, 2u}) {
        const ListingResult result = writeListings(threads);
        ASSERT_TRUE(result.succeeded()) << result.error.toStdString();
        // Byte order puts capitals first; a parent comes before its children.
        EXPECT_EQ(folderListing(), line({"D:", "71008"}) +
                                       line({"D:", "A", "71003", "2022-08-01 10:00:00"}) +
                                       line({"D:\\A", "Inner", "70000", "1995-05-05 05:05:05"}) +
                                       line({"D:", "Empty", "0", "2001-02-03 04:05:06"}));
        EXPECT_EQ(fileListing(),
                  line({"D:", "a.txt", "0", "2010-07-15 23:59:59"}) +
                      line({"D:", "b.txt", "5", "2001-02-03 04:05:06"}) +
                      line({"D:\\A", ".hidden", "3", "2020-03-29 03:30:00"}) +
                      line({"D:\\A", "z.bin", "1000", "1999-12-31 12:00:00"}) +
                      line({"D:\\A\\Inner", "deep.dat", "70000", "2024-10-27 02:15:00"}));
        EXPECT_EQ(result.folders, 3u);
        EXPECT_EQ(result.files, 5u);
        EXPECT_EQ(result.totalBytes, 71008u);
        EXPECT_EQ(result.unreadable, 0u);
        EXPECT_EQ(result.substitutedNames, 0u);
    }
}

TEST_F(ListingWriterTest, GivesTheSameListingsOnAnyNumberOfThreads) {
    const int files = makeGeneratedTree();
    ASSERT_TRUE(writeListings(1).succeeded());
    const std::string folders = folderListing(), fileLines = fileListing();
    EXPECT_EQ(std::count(fileLines.begin(), fileLines.end(), '\n'), files);
    const std::size_t descriptors = openDescriptors();
    for (const unsigned threads : {2u, 3u, 4u}) {
        const ListingResult result = writeListings(threads);
        ASSERT_TRUE(result.succeeded()) << result.error.toStdString();
        EXPECT_EQ(folderListing(), folders) << threads << " threads";
        EXPECT_EQ(fileListing(), fileLines) << threads << " threads";
        EXPECT_EQ(result.files, static_cast<std::uint64_t>(files));
        EXPECT_EQ(openDescriptors(), descriptors); // none left open
    }
}

TEST_F(ListingWriterTest, KeepsFewDescriptorsOpenInADeepTree) {
    std::string folder = "deep";
    for (int depth = 0; depth < 300; ++depth, folder += "/deep") {
        makeFolder(folder);
        makeFile(folder + "/file", depth, 1000000000);
    }
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &old), 0);
    rlimit few = old;
    few.rlim_cur = openDescriptors() + 16;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &few), 0);
    const ListingResult result = writeListings(2);
    ::setrlimit(RLIMIT_NOFILE, &old);

    ASSERT_TRUE(result.succeeded()) << result.error.toStdString();
    EXPECT_EQ(result.unreadable, 0u) << result.problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(result.folders, 300u);
    EXPECT_EQ(result.files, 300u);
}

TEST_F(ListingWriterTest, NamesThatWouldBreakTheFormatGetVisibleSubstitutes) {
    const std::vector<std::pair<std::string, std::string>> names = {
        {"Tom's \"best\" 100% a_b c.doc", "Tom's \"best\" 100% a_b c.doc"},
        {"Größe 日本語.txt", "Größe 日本語.txt"},
        {"two\nlines", "two\u240Alines"},
        {"carriage\rreturn", "carriage\u240Dreturn"},
        {"back\\slash", "back\uFF3Cslash"},
        {"latin1 caf\xE9", "latin1 caf\uFFFD"},
        {"separator \xFE byte", "separator \uFFFD byte"},
    };
    for (const auto& [name, listed] : names)
        makeFile(name, 1, 1000000000);
    makeFolder("dir\\with\nodd");
    makeFile("dir\\with\nodd/inside", 2, 1000000000);
    setModified("dir\\with\nodd", 1000000000);

    const ListingResult result = writeListings();
    ASSERT_TRUE(result.succeeded());
    EXPECT_EQ(result.substitutedNames, 6u); // five files and the folder
    const std::string date = localDateText(1000000000);
    const std::string files = fileListing();
    for (const auto& [name, listed] : names)
        EXPECT_NE(files.find(line({"D:", listed, "1", date})), std::string::npos) << listed;
    EXPECT_NE(files.find(line({"D:\\dir\uFF3Cwith\u240Aodd", "inside", "2", date})),
              std::string::npos);
    EXPECT_EQ(folderListing(),
              line({"D:", "9"}) + line({"D:", "dir\uFF3Cwith\u240Aodd", "2", date}));
    // Every line still has its four fields.
    EXPECT_EQ(std::count(files.begin(), files.end(), '\n'), 8);
    EXPECT_EQ(std::count(files.begin(), files.end(), '\r'), 8);
    EXPECT_EQ(std::count(files.begin(), files.end(), '\xFE'), 3 * 8);
}

TEST_F(ListingWriterTest, ListsSymbolicLinksAsLinksWithoutFollowingThem) {
    makeFolder("sub");
    ASSERT_EQ(::symlink(".", at("loop").c_str()), 0);
    ASSERT_EQ(::symlink("..", at("sub/up").c_str()), 0);
    ASSERT_EQ(::symlink("ping", at("pong").c_str()), 0);
    ASSERT_EQ(::symlink("pong", at("ping").c_str()), 0);
    ASSERT_EQ(::symlink("/usr", at("outside").c_str()), 0);
    ASSERT_EQ(::mkfifo(at("pipe").c_str(), 0644), 0);
    for (const char* name : {"loop", "sub/up", "pong", "ping", "outside", "pipe"})
        setModified(name, 1234567890);

    const ListingResult result = writeListings();
    ASSERT_TRUE(result.succeeded());
    const std::string date = localDateText(1234567890);
    // A link's size is the length of the path it holds.
    EXPECT_EQ(fileListing(), line({"D:", "loop", "1", date}) + line({"D:", "outside", "4", date}) +
                                 line({"D:", "ping", "4", date}) + line({"D:", "pipe", "0", date}) +
                                 line({"D:", "pong", "4", date}) +
                                 line({"D:\\sub", "up", "2", date}));
    EXPECT_EQ(result.folders, 1u);
}

TEST_F(ListingWriterTest, ListsAMountPointButDoesNotEnterIt) {
    makeFolder("mnt");
    const test::ScratchMount ram(QFile::decodeName(at("mnt").c_str()), "size=1m");
    if (!ram.ok())
        GTEST_SKIP() << ram.failure();
    makeFile("mnt/elsewhere.txt", 10, 1000000000);
    makeFile("here.txt", 7, 1000000000);
    setModified("mnt", 1000000000);

    const ListingResult result = writeListings();
    ASSERT_TRUE(result.succeeded());
    EXPECT_EQ(folderListing(),
              line({"D:", "7"}) + line({"D:", "mnt", "0", localDateText(1000000000)}));
    EXPECT_EQ(fileListing(), line({"D:", "here.txt", "7", localDateText(1000000000)}));
}

TEST_F(ListingWriterTest, ListsUnreadableFoldersWithoutContentsAndCountsThem) {
    makeFolder("locked");
    makeFile("locked/secret.txt", 10, 1000000000);
    makeFolder("names-only");
    makeFile("names-only/hidden-size.txt", 20, 1000000000);
    makeFile("open.txt", 30, 1000000000);
    setModified("locked", 1000000000);
    setModified("names-only", 1000000000);
    ASSERT_EQ(::chmod(at("locked").c_str(), 0), 0);
    ASSERT_EQ(::chmod(at("names-only").c_str(), 0444), 0); // names readable, entries not
    ListingResult result;
    {
        const test::FilePermissionsApply likeAnyUser;
        result = writeListings(2);
    }
    ::chmod(at("locked").c_str(), 0755);
    ::chmod(at("names-only").c_str(), 0755);

    ASSERT_TRUE(result.succeeded());
    EXPECT_EQ(result.unreadable, 2u);
    QStringList problems = result.problems; // in the order the threads met them
    problems.sort();
    EXPECT_EQ(problems, (QStringList{"D:\\locked: Permission denied",
                                     "D:\\names-only\\hidden-size.txt: Permission denied"}));
    const std::string date = localDateText(1000000000);
    EXPECT_EQ(folderListing(), line({"D:", "30"}) + line({"D:", "locked", "0", date}) +
                                   line({"D:", "names-only", "0", date}));
    EXPECT_EQ(fileListing(), line({"D:", "open.txt", "30", date}));
}

TEST_F(ListingWriterTest, CancelStopsTheWalkAndLeavesNoListing) {
    for (int folder = 0; folder < 200; ++folder) {
        makeFolder("f" + std::to_string(folder));
        for (int file = 0; file < 25; ++file)
            makeFile("f" + std::to_string(folder) + "/" + std::to_string(file), file, 1000000000);
    }
    const std::size_t descriptors = openDescriptors();
    // On a busy machine the walk may end before the cancel reaches it; one of
    // a few tries lands while it walks.
    ListingResult result;
    for (int attempt = 0; attempt < 10 && !result.cancelled; ++attempt) {
        ListingWriter writer(request());
        while (writer.counters().files.load() == 0 && !writer.isFinished())
            std::this_thread::yield();
        writer.cancel();
        result = writer.wait();
    }
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.succeeded());
    EXPECT_TRUE(result.error.isEmpty());
    EXPECT_LT(result.files, 5000u);
    EXPECT_TRUE(noListingLeft());
    EXPECT_EQ(openDescriptors(), descriptors);

    // Dropping a writer that is still walking cancels it as well.
    { const ListingWriter dropped(request()); }
    EXPECT_TRUE(noListingLeft());
}

// A failure is reported as such, with its message, and not as a cancel.
void expectFailure(const ListingResult& result, const QString& error) {
    EXPECT_FALSE(result.succeeded());
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(result.error, error);
}

TEST_F(ListingWriterTest, AMissingRootOrListingFolderIsAFailureAndLeavesNothingBehind) {
    makeFile("one.txt", 1, 1000000000);
    ListingRequest missingRoot = request();
    missingRoot.root = temp_.filePath(QStringLiteral("no such folder"));
    expectFailure(ListingWriter(missingRoot).wait(),
                  QStringLiteral("Cannot read the folder \"%1\": No such file or directory")
                      .arg(missingRoot.root));
    EXPECT_TRUE(noListingLeft());

    ListingRequest badFolder = request();
    badFolder.folderListing = temp_.filePath(QStringLiteral("missing/dirs.txt"));
    expectFailure(ListingWriter(badFolder).wait(),
                  QStringLiteral("Cannot write the listing file \"%1\": No such file or directory")
                      .arg(badFolder.folderListing));
    EXPECT_FALSE(QFile::exists(badFolder.fileListing));
}

TEST_F(ListingWriterTest, AFullDiskIsAFailureAndLeavesNothingBehind) {
    const std::string full = base_ + "/full";
    ASSERT_EQ(::mkdir(full.c_str(), 0755), 0);
    const test::ScratchMount ram(QFile::decodeName(full.c_str()), "size=64k");
    if (!ram.ok())
        GTEST_SKIP() << ram.failure();
    makeGeneratedTree(); // some 200 KB of file lines
    ListingRequest onFullDisk = request();
    onFullDisk.fileListing = QFile::decodeName((full + "/files.txt").c_str());
    onFullDisk.folderListing = QFile::decodeName((full + "/dirs.txt").c_str());

    expectFailure(ListingWriter(onFullDisk).wait(),
                  QStringLiteral("Cannot write the listing file \"%1\": No space left on device")
                      .arg(onFullDisk.fileListing));
    EXPECT_TRUE(QDir(QFile::decodeName(full.c_str())).isEmpty());
}

} // namespace
} // namespace kestro
