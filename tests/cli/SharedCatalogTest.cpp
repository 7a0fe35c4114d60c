#include "CliRunner.h"
#include "catalog/Catalog.h"
#include "catalog/CatalogError.h"
#include "catalog/Schema.h"
#include "support/FileTree.h"
#include "support/PrivatePostgres.h"

#include <QDeadlineTimer>
#include <QMap>
#include <QTemporaryDir>
#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <thread>

using namespace kestro;
using kestro::test::runCli;

namespace {

// A volume of `files` files in folders of 50, each named after its index.
void fillVolume(const QString& root, int files, const QString& prefix) {
    for (int i = 0; i < files; ++i)
        test::makeFile(root, QStringLiteral("F%1/%2%3.txt").arg(i / 50).arg(prefix).arg(i), 1);
}

// What one searching client saw: how often it read the catalog, and every
// state that was neither a run's before nor its after (a volume's file rows
// numbering neither what it held before the runs nor after), or failure.
struct Sightings {
    int reads = 0;
    QStringList wrong;
};

Sightings searchUntil(const QString& uri, const std::atomic<bool>& done,
                      const QMap<QString, QList<qint64>>& allowed) {
    Sightings seen;
    const QDeadlineTimer bound(60000);
    try {
        const Database db = Catalog(uri, OpenMode::SharedReadWrite).open();
        while (!done && !bound.hasExpired()) {
            const Database::ReadTransaction reading(db);
            for (auto volume = allowed.begin(); volume != allowed.end(); ++volume) {
                const qint64 rows = std::get<qint64>(db.scalar(
                    "SELECT count(*) FROM " + quoteIdentifier(schema::filesTable(volume.key()))));
                if (!volume.value().contains(rows))
                    seen.wrong << QStringLiteral("%1: %2 rows").arg(volume.key()).arg(rows);
            }
            ++seen.reads;
        }
    } catch (const CatalogError& e) {
        seen.wrong << e.message();
    }
    seen.wrong.removeDuplicates();
    return seen;
}

} // namespace

// Two machines catalog their volumes again while two others search: no
// error, no row lost, and every search sees each run whole or not at all.
TEST(SharedCatalog, TwoRunsAndTwoSearchersAtOnceSeeEachRunWholeOrNotAtAll) {
    const QString uri = test::PrivatePostgres::instance().createDatabase();
    QTemporaryDir homeA, homeB, diskA, diskB;
    ASSERT_EQ(runCli(homeA.path(), {"new", uri}).exitCode, 0);
    fillVolume(diskA.path(), 1000, "a");
    fillVolume(diskB.path(), 1000, "b");
    // Catalogued once each, one after the other: then each has its identifier.
    for (const auto& [home, disk] : {std::pair{&homeA, &diskA}, std::pair{&homeB, &diskB}})
        ASSERT_EQ(
            runCli(home->path(), {"catalog", disk->path(), "--name", "Disk", "--catalog", uri})
                .exitCode,
            0);
    QMap<QString, QList<qint64>> allowed;
    {
        const Database db = Catalog(uri, OpenMode::SharedReadWrite).open();
        Statement volumes = db.prepare("SELECT tablename FROM \"index\" ORDER BY tablename");
        for (const qint64 after : {4000, 3000}) {
            volumes.next();
            allowed[volumes.text(0)] = {1000, after};
        }
    }
    fillVolume(diskA.path(), 3000, "more a");
    fillVolume(diskB.path(), 2000, "more b");

    std::atomic<bool> done = false;
    auto searcherOne =
        std::async(std::launch::async, searchUntil, uri, std::cref(done), std::cref(allowed));
    auto searcherTwo =
        std::async(std::launch::async, searchUntil, uri, std::cref(done), std::cref(allowed));
    const auto catalogAgain = [&uri](const QTemporaryDir* home, const QTemporaryDir* disk) {
        return runCli(home->path(), {"catalog", disk->path(), "--catalog", uri});
    };
    auto runA = std::async(std::launch::async, catalogAgain, &homeA, &diskA);
    auto runB = std::async(std::launch::async, catalogAgain, &homeB, &diskB);
    const test::CliResult a = runA.get(), b = runB.get();
    done = true;
    for (auto* searcher : {&searcherOne, &searcherTwo}) {
        const Sightings seen = searcher->get();
        EXPECT_GT(seen.reads, 0);
        EXPECT_EQ(seen.wrong, QStringList());
    }
    EXPECT_EQ(a.exitCode, 0) << a.err.toStdString();
    EXPECT_EQ(b.exitCode, 0) << b.err.toStdString();
    const Database db = Catalog(uri, OpenMode::SharedReadWrite).open();
    for (auto volume = allowed.begin(); volume != allowed.end(); ++volume)
        EXPECT_EQ(std::get<qint64>(db.scalar("SELECT count(*) FROM " +
                                             quoteIdentifier(schema::filesTable(volume.key())))),
                  volume.value().last());
}
