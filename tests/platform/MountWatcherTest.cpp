#include "platform/MountWatcher.h"

#include "support/ScratchMount.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestro;

namespace {

// Lets events run until `enough` or for at most `ms` milliseconds.
void runEvents(
    int ms, const std::function<bool()>& enough = [] { return false; }) {
    QElapsedTimer waited;
    waited.start();
    while (!enough() && !waited.hasExpired(ms))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
}

} // namespace

TEST(MountWatcher, TellsOfEveryMountAndUnmountAndOtherwiseSleeps) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    const QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const MountWatcher watcher("/proc/self/mountinfo");
    int changes = 0;
    QObject::connect(&watcher, &MountWatcher::mountsChanged, [&] { ++changes; });
    {
        const test::ScratchMount mounted(folder.path(), "size=64k");
        if (!mounted.ok())
            GTEST_SKIP() << mounted.failure();
        runEvents(5000, [&] { return changes > 0; });
        EXPECT_GT(changes, 0) << "mounted";
        changes = 0;
    }
    runEvents(5000, [&] { return changes > 0; });
    EXPECT_GT(changes, 0) << "unmounted";
    // A change is told once: the watcher does not spin (other programs may
    // mount something meanwhile, hence not none).
    changes = 0;
    runEvents(300);
    EXPECT_LT(changes, 10);
}
