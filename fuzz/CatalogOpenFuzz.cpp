// Any file opened as a catalog, in both modes: refused with a message that
// names it, or opened and read as the tree, the contents list and a search
// read it. Either way the file is left as it was (a catalog opened for
// writing only leaves WAL mode), and nothing is left beside it.
//
// Input: the file.

#include "FuzzSupport.h"
#include "browser/CatalogReader.h"
#include "catalog/Catalog.h"
#include "catalog/CatalogError.h"
#include "catalog/DisplayRules.h"
#include "search/CatalogVolumes.h"
#include "search/SearchCondition.h"

#include <QDir>

using namespace kestro;
using namespace kestro::fuzz;

namespace {

constexpr size_t kVolumesOpened = 4;

// Runs `read`; a catalog too damaged for it is refused with a message.
template <typename Read> void readOrRefuse(Read read) {
    try {
        read();
    } catch (const CatalogError& e) {
        FUZZ_CHECK(!e.message().isEmpty());
    }
}

void searchVolume(const Database& db, const QString& tablename) {
    SearchCriteria criteria;
    criteria.named = QStringLiteral("a*");
    criteria.between = true;
    criteria.firstDate = QStringLiteral("1/1/80");
    criteria.secondDate = QStringLiteral("12/31/2030");
    criteria.sizeComparison = QStringLiteral("at least");
    criteria.sizeKilobytes = QStringLiteral("1");
    const SearchCondition condition = SearchCondition::fromCriteria(criteria, 2026);
    for (const QString& table : {tablename + "_dirs", tablename + "_files"}) {
        Statement rows = condition.select(db, table);
        while (rows.next())
            for (int column = 0; column < rows.columnCount(); ++column)
                (void)rows.text(column);
    }
}

void readAsTheProgramDoes(const Database& db) {
    readOrRefuse([&] { (void)ReadRootAndCategories(db); });
    std::vector<VolumeEntry> volumes;
    readOrRefuse([&] { volumes = ReadVolumes(db); });
    for (size_t i = 0; i < volumes.size() && i < kVolumesOpened; ++i) {
        const VolumeEntry& volume = volumes[i];
        const QString tablename = TableNameOf(volume.key);
        const QString root = volume.key.mid(tablename.size() + 1);
        readOrRefuse([&] {
            (void)VolumeNameOfKey(db, volume.key);
            (void)ReadFolderRows(db, tablename, root);
            (void)ReadFileRows(db, tablename, root);
            for (const FolderEntry& folder : volume.folders)
                (void)ReadSubFolders(db, tablename, root + QLatin1Char('\\') + folder.name);
        });
    }
    readOrRefuse([&] {
        const auto listed = ListVolumes(db);
        for (size_t i = 0; i < listed.size() && i < kVolumesOpened; ++i)
            readOrRefuse([&] { searchVolume(db, listed[i].tablename); });
    });
}

// A catalog opened for writing is switched from WAL to the rollback journal:
// bytes 18 and 19 of its header go from 2 to 1, and the change counter
// (bytes 24 to 27), the page count (28 to 31), the number they are valid for
// (92 to 95) and the SQLite version that wrote the file (96 to 99) are brought
// up to date. Nothing else may change.
bool sameButForJournalMode(const QByteArray& before, QByteArray after) {
    if (after.size() < 100 || before.size() != after.size() || before[18] != 2 || before[19] != 2 ||
        after[18] != 1 || after[19] != 1)
        return false;
    after[18] = after[19] = 2;
    for (const int at : {24, 25, 26, 27, 28, 29, 30, 31, 92, 93, 94, 95, 96, 97, 98, 99})
        after[at] = before[at];
    return after == before;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray file = bytesOf(data, size);
    const QString folder = scratchFolder() + QStringLiteral("/catalog");
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/catalog.mdb");
    writeFile(path, file);

    for (const OpenMode mode : {OpenMode::ExclusiveReadOnly, OpenMode::SharedReadWrite}) {
        bool opened = false;
        try {
            const Database db = Catalog(path, mode).open();
            opened = true;
            readAsTheProgramDoes(db);
        } catch (const CatalogError& e) {
            FUZZ_CHECK(e.message().contains(path));
        }
        const QByteArray after = readFile(path);
        FUZZ_CHECK(after == file || (opened && mode == OpenMode::SharedReadWrite &&
                                     sameButForJournalMode(file, after)));
        FUZZ_CHECK(QDir(folder).entryList(QDir::Files | QDir::Hidden) ==
                   QStringList{QStringLiteral("catalog.mdb")});
    }
    return 0;
}
