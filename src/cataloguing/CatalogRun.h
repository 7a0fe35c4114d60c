#pragma once

#include "catalog/Catalog.h"
#include "catalog/ChangeReport.h"
#include "cataloguing/CatalogRunView.h"
#include "cataloguing/ListingWriter.h"

#include <QDateTime>
#include <functional>

namespace kestro {

class DriveSystem;
class DriveTable;

// What the user asked for.
struct CatalogRunRequest {
    QString drive; // "d:": the drive letter and a colon
    bool clearDescriptions = false;
    bool ejectWhenDone = false;
};

// How a run ended.
struct CatalogRunOutcome {
    enum class Result {
        Catalogued, // the volume is in the catalog
        Aborted,    // the user stopped it; the catalog is as it was
        NotDone,    // the drive, the volume or the user's answer stopped it; nothing written
        Failed,     // an error the user has been told of; the catalog is as it was
    };
    Result result = Result::NotDone;
    QString tablename; // the volume's identifier
    qint32 dirs = 0;   // folder lines imported, the root line included
    qint32 files = 0;  // file lines imported, a marker's line included
    qint64 malformedLines = 0;
    ListingResult walk; // what the walk saw, with what it could not read
    // What changed since the volume's catalogue before; nothing for a volume
    // new to the catalog.
    std::optional<ChangeRun> changes;

    // Items missing from the catalog: those the walk could not read, and
    // listing lines the import could not read.
    qint64 leftOut() const { return qint64(walk.unreadable) + malformedLines; }
};

// What a run that catalogued its volume left out or changed, one paragraph
// each: the items that could not be read (the first ten named, with why),
// the names stored with substitutes, the listing lines that could not be
// read. Empty when the volume was catalogued whole.
QString LeftOutReport(const CatalogRunOutcome& outcome);

// Catalogs the volume in one drive: waits for the drive, measures it,
// identifies the volume, asks a new volume's name, walks it into the two
// listing files, and imports them into the volume's tables. A volume
// catalogued before keeps its name, category and description, and unless
// descriptions are to be cleared, every file and folder description whose
// item keeps its name and parent folder. It also records what changed on
// the volume since then (see ChangeRecorder).
//
// The catalog is written in one transaction, the file rows while the walk
// goes on, the rest after it: an abort, a failure or a crash leaves it
// exactly as it was before the run. The volume is dated with the moment its
// walk began. Two runs never share a program folder's listing files; a run
// that cannot have them (another run holds them, or the folder cannot be
// written) is refused before it writes anything to the volume.
class CatalogRun {
public:
    CatalogRun(Catalog catalog, DriveTable& drives, DriveSystem& system, QString programFolder,
               CatalogRunView& view);

    // The clock new volume identifiers and catalog dates are taken from.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
    // How long the run waits for a drive that is not ready (15 seconds).
    void setDriveWait(int milliseconds) { driveWaitMs_ = milliseconds; }

    CatalogRunOutcome run(const CatalogRunRequest& request);

private:
    struct Volume;

    bool waitForDrive(const QString& drive);
    CatalogRunOutcome catalogVolume(const Database& db, const CatalogRunRequest& request);
    CatalogRunOutcome walkAndImport(const Database& db, const Volume& volume,
                                    const CatalogRunRequest& request);
    void finish(const CatalogRunOutcome& outcome);

    Catalog catalog_;
    DriveTable& drives_;
    DriveSystem& system_;
    QString programFolder_;
    CatalogRunView& view_;
    std::function<QDateTime()> clock_;
    int driveWaitMs_ = 15000;
};

} // namespace kestro
