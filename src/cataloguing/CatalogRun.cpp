#include "cataloguing/CatalogRun.h"

#include "catalog/CatalogError.h"
#include "catalog/ConsistencySweep.h"
#include "catalog/DisplayRules.h"
#include "catalog/FolderRuns.h"
#include "catalog/NameIndex.h"
#include "catalog/Schema.h"
#include "catalog/StoredTexts.h"
#include "cataloguing/ChangeRecording.h"
#include "cataloguing/EarlyWriteback.h"
#include "cataloguing/ImportingWalk.h"
#include "cataloguing/ListingImport.h"
#include "cataloguing/VolumeIdentity.h"
#include "platform/DriveTable.h"
#include "platform/ProgramFolder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>

namespace kestro {

namespace {

constexpr int kDrivePollMs = 250;

const QString kDriveNotReady = QStringLiteral("Drive not ready or unavailable...");
const QString kNoIdentifier =
    QStringLiteral("Error:  Cannot establish a marker file on volume, OR retrieve a serial "
                   "number... Cannot catalog this volume!");
const QString kNoVolumeName =
    QStringLiteral("No volume description entered.  Won't catalog volume.");
const QString kAbortedByUser = QStringLiteral("Aborted by user...");
const QString kListingsInUse =
    QStringLiteral("Another cataloguing run is using this program folder's listing files. "
                   "Catalog this volume when it has finished.");
const QString kVolumeBusy =
    QStringLiteral("Another machine is cataloguing the volume %1 into this catalog now. Catalog "
                   "it again when that run has finished.");
const QString kFolderNotWritable =
    QStringLiteral("The program folder %1 can't be written, and a cataloguing run writes its "
                   "listing files there. Make it writable, or start Kestro Pro with a program "
                   "folder of your own.");

// Puts the rows of `replacement` in the place of `table`'s. A file's table
// is dropped and the replacement renamed. On a server another client reading
// in the meantime would find the new table by the old name, and none of its
// rows in the snapshot it reads: there the rows are replaced in place.
std::string replaceTableSql(const Database& db, const QString& table, const QString& replacement) {
    const std::string current = quoteIdentifier(table), next = quoteIdentifier(replacement);
    if (db.isHosted() && db.hasTable(table))
        return "DELETE FROM " + current + "; INSERT INTO " + current +
               " (name, parent, size, thedate, thedescription) SELECT name, parent, size, "
               "thedate, thedescription FROM " +
               next + " ORDER BY rowid; DROP TABLE " + next + ";";
    return "DROP TABLE IF EXISTS " + current + "; ALTER TABLE " + next + " RENAME TO " + current +
           ";";
}

// The two listing files of a run, removed however the run ends. Those a
// crashed run left are removed first: the file listing is read as soon as
// it exists.
struct ListingFiles {
    QString folders, files;
    ListingFiles(QString folderListing, QString fileListing)
        : folders(std::move(folderListing)), files(std::move(fileListing)) {
        remove();
    }
    ~ListingFiles() { remove(); }
    void remove() const {
        QFile::remove(folders);
        QFile::remove(files);
    }
};

using Result = CatalogRunOutcome::Result;

} // namespace

// The volume being catalogued, and what a catalogued volume keeps.
struct CatalogRun::Volume {
    QString tablename;
    QString rootName; // "D:"
    QString root;     // the folder the drive stands for today
    int driveType = 0;
    DiskSpace space;
    QString name;
    QString category = QStringLiteral("0");
    QString description = QStringLiteral(" ");
    bool existing = false;
};

CatalogRun::CatalogRun(Catalog catalog, DriveTable& drives, DriveSystem& system,
                       QString programFolder, CatalogRunView& view)
    : catalog_(std::move(catalog)), drives_(drives), system_(system),
      programFolder_(std::move(programFolder)), view_(view), clock_(CurrentLocalTime) {}

bool CatalogRun::waitForDrive(const QString& drive) {
    QElapsedTimer waited;
    waited.start();
    int type = DriveType::Unknown;
    while ((type = drives_.driveType(drive)) < DriveType::Removable &&
           waited.elapsed() < driveWaitMs_)
        view_.waitForEvents(kDrivePollMs);
    return type >= DriveType::Removable;
}

CatalogRunOutcome CatalogRun::run(const CatalogRunRequest& request) {
    CatalogRunOutcome outcome;
    view_.setCatalogEnabled(false);
    try {
        outcome = catalogVolume(catalog_.open(), request);
    } catch (const CatalogError& e) {
        view_.message(e.message());
        outcome.result = Result::Failed;
    }
    finish(outcome);
    return outcome;
}

CatalogRunOutcome CatalogRun::catalogVolume(const Database& db, const CatalogRunRequest& request) {
    CatalogRunOutcome outcome;
    Volume volume;
    volume.rootName = request.drive.left(1).toUpper() + QLatin1Char(':');

    // Taken before anything is written to the volume, and held to the end.
    QLockFile listingsLock(ProgramFolder::file(programFolder_, QStringLiteral("listings.lock")));
    if (!listingsLock.tryLock(0)) {
        view_.message(listingsLock.error() == QLockFile::LockFailedError
                          ? kListingsInUse
                          : kFolderNotWritable.arg(programFolder_));
        return outcome;
    }

    view_.setStatus(QStringLiteral("Waiting for drive ready..."));
    view_.yieldEvents(10);
    if (!waitForDrive(request.drive)) {
        view_.message(kDriveNotReady);
        return outcome;
    }
    volume.driveType = drives_.driveType(request.drive);
    view_.yieldEvents(25);
    const auto space = drives_.diskSpace(request.drive);
    if (!space || space->capacity < 1) {
        view_.message(kDriveNotReady);
        return outcome;
    }
    volume.space = *space;
    volume.root = drives_.rootOf(request.drive);

    const IdentifyFeedback feedback{[this](const QString& text) {
                                        view_.setStatus(text);
                                        view_.yieldEvents(1);
                                    },
                                    [this](const QString& text) { view_.message(text); }};
    // On a server another machine may be marking a new volume in the same
    // second, its identifier not in the index until its run commits: a new
    // identifier is reserved by a lock this connection holds until it closes
    // (the run's own lock on the volume is then granted to it at once).
    const auto taken = [&db](const QString& identifier) {
        return !isNull(db.scalar("SELECT 1 FROM \"index\" WHERE tablename = ?1", identifier)) ||
               (db.isHosted() &&
                std::get<qint64>(db.scalar("SELECT pg_try_advisory_lock(?1, hashtext(?2))::integer",
                                           schema::kApplicationId, identifier)) == 0);
    };
    volume.tablename =
        IdentifyVolume(volume.root, volume.driveType, system_, feedback, clock_, taken).toLower();
    outcome.tablename = volume.tablename;
    if (volume.tablename.isEmpty()) {
        view_.message(kNoIdentifier);
        return outcome;
    }

    Statement old = db.prepare("SELECT name, category, thedescription FROM \"index\" "
                               "WHERE tablename = ?1");
    old.bind(1, volume.tablename);
    if (old.next()) {
        volume.existing = true;
        volume.name = old.text(0);
        const QString category = NullToEmpty(old.value(1)).trimmed();
        bool whole = false;
        category.toInt(&whole);
        volume.category = whole ? category : QStringLiteral("0");
        const QString description = NullToEmpty(old.value(2));
        volume.description = description.isEmpty() ? QStringLiteral(" ") : description;
    }
    old.reset();

    // A volume new to the catalog, or one whose name was lost, is named by the user.
    if (volume.name.isEmpty()) {
        const auto answer =
            view_.askVolumeName(QStringLiteral("Enter a descriptive name for this volume..."),
                                QStringLiteral("Volume Description"), QStringLiteral("Archive"));
        if (!answer || answer->isEmpty()) {
            view_.message(kNoVolumeName);
            return outcome;
        }
        volume.name = *answer;
    }
    return walkAndImport(db, volume, request);
}

CatalogRunOutcome CatalogRun::walkAndImport(const Database& db, const Volume& volume,
                                            const CatalogRunRequest& request) {
    CatalogRunOutcome outcome;
    outcome.tablename = volume.tablename;
    const QString cataloguedAt = CatalogMomentText(clock_());
    const ListingFiles listings{ProgramFolder::file(programFolder_, QStringLiteral("dirs.txt")),
                                ProgramFolder::file(programFolder_, QStringLiteral("files.txt"))};

    const bool keepDescriptions = volume.existing && !request.clearDescriptions;
    const QString dirs = schema::dirsTable(volume.tablename);
    const QString files = schema::filesTable(volume.tablename);
    // A larger page cache makes the load of a big volume far cheaper. Freed pages of the replaced
    // tables are not overwritten with zeros where that would cost extra writes (deleted content in
    // the pages that remain in use still is). Both last as long as this run's connection.
    if (!db.isHosted())
        db.executeScript("PRAGMA cache_size = -16384; PRAGMA secure_delete = FAST;");
    const EarlyWriteback writeback(db.path());
    Database::Transaction transaction(db);
    // A file's write lock keeps a second run out; on a server, a lock on the
    // volume held until this run's transaction ends.
    if (db.isHosted() &&
        std::get<qint64>(db.scalar("SELECT pg_try_advisory_xact_lock(?1, hashtext(?2))::integer",
                                   schema::kApplicationId, volume.tablename)) == 0) {
        view_.message(kVolumeBusy.arg(volume.name));
        outcome.result = Result::Failed;
        return outcome;
    }
    if (keepDescriptions) {
        // Descriptions are kept by the path below the volume's root: the
        // volume may have had another drive letter the last time. A table that
        // is missing (a damaged or hand-edited catalog) keeps nothing: its
        // empty template stands in for it.
        const auto keptFrom = [&db](const QString& table, const char* emptyModel) {
            return quoteIdentifier(db.hasTable(table) ? table : QString::fromLatin1(emptyModel));
        };
        db.executeScript("CREATE TEMP TABLE kept_dirs AS SELECT name, kestro_below_root(parent) "
                         "AS below, thedescription FROM " +
                         keptFrom(dirs, "template_dirs") +
                         " WHERE thedescription IS NOT NULL;"
                         "CREATE TEMP TABLE kept_files AS SELECT name, kestro_below_root(parent) "
                         "AS below, thedescription FROM " +
                         keptFrom(files, "template_files") + " WHERE thedescription IS NOT NULL;");
        // Leftovers of an earlier run go, within this run. A server's runs
        // leave none (their tables come and go with their transactions), and
        // reading every volume's tables there would wait on other runs.
        if (!db.isHosted())
            sweepCatalog(db);
    }
    // The new rows go into tables of their own, which take the old ones' names
    // once complete: the old tables' pages then need no copy in the journal.
    const QString newDirs = dirs + QStringLiteral("_new"),
                  newFiles = files + QStringLiteral("_new");
    db.executeScript(schema::createVolumeTableSql(db.isHosted(), newDirs, "template_dirs") + ";" +
                     schema::createVolumeTableSql(db.isHosted(), newFiles, "template_files") + ";");

    // The names go into the name index as they are imported; a catalog made
    // before the index gets it from Compact or its first search.
    std::optional<NameIndexWriter> folderNames, fileNames;
    if (HasNameIndex(db)) {
        folderNames.emplace(db, dirs, newDirs);
        fileNames.emplace(db, files, newFiles);
    }
    // A catalog file made before the folder runs gets them now; a server
    // finds a folder's rows through an index on (parent, name) instead.
    std::optional<FolderRunsWriter> folderRuns, fileRuns;
    if (!db.isHosted()) {
        CreateFolderRuns(db);
        folderRuns.emplace(db, dirs);
        fileRuns.emplace(db, files);
    }

    // A volume catalogued before is compared with what it was as its new rows
    // go in. Tables lost from a damaged catalog leave nothing to compare with.
    std::optional<ChangeRecorder> changes;
    if (volume.existing && db.hasTable(dirs) && db.hasTable(files))
        changes.emplace(db, volume.tablename, dirs, newDirs, files, newFiles);

    // File rows go in while the walk goes on; the run's transaction keeps
    // them only once every listing is complete and imported.
    FileListingImport fileImport(db, newFiles, listings.files, volume.rootName,
                                 {fileNames ? &*fileNames : nullptr,
                                  fileRuns ? &*fileRuns : nullptr,
                                  changes ? &changes->files() : nullptr});
    view_.setStatusHighlighted(true);
    view_.setStatus(QStringLiteral("Recursing Volume..."));
    view_.setWaitCursor(true);
    view_.yieldEvents(10);
    view_.setBusy(true);
    // Reading folders side by side would send an optical drive's head back
    // and forth; a disc is walked by one thread.
    outcome.walk =
        WalkImportingFiles({volume.root, volume.rootName, listings.files, listings.folders},
                           volume.driveType == DriveType::CdRom ? 1 : 0, fileImport, view_);
    view_.yieldEvents(10);
    view_.setStatusHighlighted(false);
    if (outcome.walk.cancelled) {
        outcome.result = Result::Aborted;
        return outcome; // the transaction rolls back
    }
    if (!outcome.walk.error.isEmpty()) {
        view_.message(outcome.walk.error);
        outcome.result = Result::Failed;
        return outcome;
    }
    if (request.ejectWhenDone)
        drives_.eject(request.drive);

    const ImportCount folderCount =
        ImportFolders(db, newDirs, listings.folders, view_,
                      {folderNames ? &*folderNames : nullptr, folderRuns ? &*folderRuns : nullptr,
                       changes ? &changes->folders() : nullptr});
    const ImportCount fileCount = fileImport.finish(view_);
    outcome.dirs = folderCount.lines;
    outcome.files = fileCount.lines;
    outcome.malformedLines = folderCount.malformed + fileCount.malformed;
    if (folderCount.aborted || fileCount.aborted) {
        outcome.result = Result::Aborted;
        return outcome; // the transaction rolls back
    }

    if (changes) {
        view_.setStatus(QStringLiteral("Finding what changed..."));
        view_.yieldEvents(10);
        outcome.changes = changes->finish(cataloguedAt, view_);
    }

    for (const auto& [table, replacement] : {std::pair{dirs, newDirs}, std::pair{files, newFiles}})
        db.executeScript(replaceTableSql(db, table, replacement));
    if (folderNames) {
        folderNames->finish();
        fileNames->finish();
    }
    if (folderRuns) {
        folderRuns->finish();
        fileRuns->finish();
    } else {
        // The server's index of the names takes longer to build than the
        // volume took to read: it is built once the run has committed
        // (IndexAllHostedNames), and the volume is in use meanwhile.
        db.executeScript(schema::createLookupIndexSql(dirs) + ";" +
                         schema::createLookupIndexSql(files) + ";");
    }
    db.execute("DELETE FROM \"index\" WHERE tablename = ?1", volume.tablename);
    db.execute("INSERT INTO \"index\" (tablename, name, thedate, size, free, used, volumetype, "
               "category, thedescription, dirs, files) "
               "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)",
               volume.tablename, volume.name, cataloguedAt, volume.space.capacity,
               volume.space.free, volume.space.used, volume.driveType, volume.category,
               volume.description, outcome.dirs, outcome.files);

    if (keepDescriptions) {
        view_.setStatus(QStringLiteral("Saving existing descriptions..."));
        view_.yieldEvents(10);
        for (const auto& [table, kept] :
             {std::pair{dirs, "kept_dirs"}, std::pair{files, "kept_files"}}) {
            // The new rows are read once, each looking for a kept row of its
            // path below the root and name: an index on the few kept rows
            // costs far less than one on the new rows, and leaves no pages
            // behind in the catalog. The temporary table comes first among
            // tables of its name on both engines, and so does its index.
            const std::string keptTable = kept;
            if (!isNull(db.scalar("SELECT 1 FROM " + keptTable + " LIMIT 1"))) {
                const std::string target = quoteIdentifier(table);
                db.executeScript("CREATE INDEX " + keptTable + "_key ON " + keptTable +
                                 " (below, name);");
                db.executeScript("UPDATE " + target +
                                 " SET thedescription = k.thedescription FROM " + keptTable +
                                 " AS k WHERE k.below = kestro_below_root(" + target +
                                 ".parent) AND k.name = " + target + ".name;");
            }
            db.executeScript("DROP TABLE " + keptTable + ";");
        }
    }
    transaction.commit();
    outcome.result = Result::Catalogued;
    view_.yieldEvents(10);
    return outcome;
}

QString LeftOutReport(const CatalogRunOutcome& outcome) {
    QStringList paragraphs;
    const ListingResult& walk = outcome.walk;
    if (walk.unreadable > 0) {
        const QString named = quint64(walk.problems.size()) < walk.unreadable
                                  ? QStringLiteral("; the first %1:").arg(walk.problems.size())
                                  : QStringLiteral(":");
        paragraphs << QStringLiteral("%1 items could not be read and are missing from the "
                                     "catalog%2\n  %3")
                          .arg(walk.unreadable)
                          .arg(named, walk.problems.join(QStringLiteral("\n  ")));
    }
    if (walk.substitutedNames > 0)
        paragraphs << QStringLiteral("%1 names held characters a catalog cannot keep and were "
                                     "stored with substitutes.")
                          .arg(walk.substitutedNames);
    if (outcome.malformedLines > 0)
        paragraphs
            << QStringLiteral("%1 listing lines could not be read.").arg(outcome.malformedLines);
    return paragraphs.join(QLatin1Char('\n'));
}

void CatalogRun::finish(const CatalogRunOutcome& outcome) {
    if (outcome.result == Result::Catalogued)
        view_.refreshViews();
    view_.setBusy(false);
    view_.setProgressValue(0);
    view_.setStatus(QStringLiteral("<idle>"));
    view_.setCatalogEnabled(true);
    view_.setWaitCursor(false);
    view_.runFinished(outcome.result == Result::Catalogued);
    if (outcome.result == Result::Aborted || view_.abortRequested())
        view_.message(kAbortedByUser);
    view_.clearAbortRequest();
}

} // namespace kestro
