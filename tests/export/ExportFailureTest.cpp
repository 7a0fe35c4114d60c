#include "RecordingExportView.h"
#include "export/ExportRun.h"
#include "support/CatalogFixture.h"

#include <QDir>

using namespace kestro;
using Result = ExportOutcome::Result;

namespace {

class ExportFailure : public test::CatalogFixture {
protected:
    SearchState state;
    test::RecordingExportView view{state};
    QString disk1;

    void SetUp() override {
        test::makeFile(folder("disk1"), "DOCS/A.TXT", 10);
        disk1 = catalogAs("disk1", "Disk1");
    }
    ExportOutcome exportTo(const QString& folder) {
        ExportRequest request;
        request.folder = folder;
        return ExportRun(catalog(), fileTypes(), state, view).run(request);
    }
};

} // namespace

TEST_F(ExportFailure, ADestinationThatCannotTakeTheFileStopsWithAMessage) {
    QTemporaryDir out;
    const ExportOutcome outcome = exportTo(out.filePath("missing"));
    EXPECT_EQ(outcome.result, Result::Failed);
    EXPECT_TRUE(outcome.files.isEmpty());
    EXPECT_EQ(view.messages, QStringList{"The export file \"" + out.filePath("missing/Disk1.cdf") +
                                         "\" cannot be created: No such file or directory.  The "
                                         "export has stopped."});
    EXPECT_EQ(view.busy, (std::vector<bool>{true, false}));
}

TEST_F(ExportFailure, AFullDiskStopsTheExportAndLeavesNoBrokenFile) {
    test::SmallDisk disk(64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.failure();
    // A description larger than the disk, once within the write buffer and
    // once beyond it: the failure shows at the close and at a write.
    for (const int descriptionSize : {100 * 1024, 1024 * 1024}) {
        describe(disk1, "files", "A.TXT", QString(descriptionSize, 'x'));
        view.messages.clear();
        const ExportOutcome outcome = exportTo(disk.path());
        EXPECT_EQ(outcome.result, Result::Failed) << descriptionSize;
        EXPECT_EQ(view.messages, QStringList{"The export file \"" + disk.filePath("Disk1.cdf") +
                                             "\" cannot be written: No space left on device.  "
                                             "The export has stopped."});
        EXPECT_FALSE(QFile::exists(disk.filePath("Disk1.cdf")));
    }
}

TEST_F(ExportFailure, ACatalogThatCannotBeReadIsReported) {
    QTemporaryDir out;
    test::writeAll(catalogPath, "not a catalog");
    EXPECT_EQ(exportTo(out.path()).result, Result::Failed);
    ASSERT_EQ(view.messages.size(), 1);
    EXPECT_TRUE(view.messages[0].contains(catalogPath));
    EXPECT_TRUE(QDir(out.path()).isEmpty());
}
