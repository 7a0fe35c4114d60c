#pragma once

#include "catalog/Database.h"

#include <QHash>
#include <optional>
#include <vector>

namespace kestro {

// What a re-catalog of a volume found changed since the catalogue before:
// its folders and files added, removed, and changed (a file whose size or
// date text differs). Items are known by their path below the volume's root
// and their name, exactly, whatever drive letter the volume had.
//
// The reports live in two tables of their own, made when the first report is
// written, so catalogs made before have none and stay readable as they are:
// kestro_change_runs keeps the date and counts of each volume's last
// kMaxChangeRuns re-catalogs, kestro_changes the items of each volume's
// latest one only.
namespace changes {
inline const QString kRunsTable = QStringLiteral("kestro_change_runs");
inline const QString kItemsTable = QStringLiteral("kestro_changes");
constexpr int kMaxChangeRuns = 20;
} // namespace changes

// True for the report tables, which belong to no volume.
bool isChangeReportTable(const QString& name);

// One re-catalog: when it ran (a catalog moment, as `index`.thedate) and
// what it found.
struct ChangeRun {
    QString date;
    qint64 added = 0;
    qint64 removed = 0;
    qint64 changed = 0;

    bool operator==(const ChangeRun&) const = default;
};

// "3 added, 1 removed, 2 changed".
QString ChangeCountsText(const ChangeRun& run);

// One changed item. `kind` is '+' (added), '-' (removed) or '~' (changed);
// the old size and date are empty for an added item, the new ones for a
// removed one. `location` is the folder below the root ("\GAMES", "\" at the
// top); sizes and dates are the stored texts.
struct ChangeItem {
    QChar kind;
    bool folder = false;
    QString location;
    QString name;
    QString oldSize;
    QString newSize;
    QString oldDate;
    QString newDate;
};

// Makes the report tables if the catalog lacks them.
void CreateChangeReportTables(const Database& db);

// The latest re-catalog of the volume; nothing when it has none.
std::optional<ChangeRun> LastChangeRun(const Database& db, const QString& tablename);
// The date of every volume's latest report, by identifier.
QHash<QString, QString> LastChangeDates(const Database& db);
// The items of the volume's latest report, by location and name.
std::vector<ChangeItem> ReadChanges(const Database& db, const QString& tablename);

// Forgets the volume's reports (the volume leaves the catalog).
void DeleteChangeReports(const Database& db, const QString& tablename);
// Forgets the reports of volumes the catalog no longer holds.
void DeleteOrphanChangeReports(const Database& db);

} // namespace kestro
