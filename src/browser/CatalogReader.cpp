#include "browser/CatalogReader.h"

#include "browser/VolumeImage.h"
#include "catalog/CatalogError.h"
#include "catalog/ChangeReport.h"
#include "catalog/DisplayRules.h"
#include "catalog/FolderRuns.h"
#include "catalog/NodeKey.h"
#include "catalog/Schema.h"

#include <cmath>

namespace kestro {

namespace {

double numberOf(const SqlValue& value) {
    return NullToEmpty(value).trimmed().toDouble();
}

qint64 countOf(const SqlValue& value) {
    return qint64(numberOf(value));
}

// Null, the empty text and 0 all mean "in no category". The number is read
// as a number: a key written as "3.0" or " 03" is category 3's.
QString parentKeyOf(const SqlValue& category) {
    const QString text = NullToEmpty(category).trimmed();
    bool isNumber = false;
    const double number = text.toDouble(&isNumber);
    if (text.isEmpty() || (isNumber && number == 0))
        return RootKey();
    if (isNumber && number == std::floor(number) && std::fabs(number) < 1e15)
        return CategoryKey(QString::number(qint64(number)));
    return CategoryKey(text);
}

std::vector<ListingRow> readListing(const Database& db, const QString& table, const QString& path) {
    const FolderRows folder(db, table);
    Statement rows =
        db.prepare("SELECT name, size, thedate, thedescription FROM " + quoteIdentifier(table) +
                   " WHERE " + folder.condition(1) + " ORDER BY name");
    folder.bind(rows, 1, path);
    std::vector<ListingRow> result;
    while (rows.next())
        result.push_back({rows.text(0), rows.text(1), rows.text(2),
                          rows.isNull(3) ? std::nullopt : std::optional(rows.text(3))});
    return result;
}

// The root name of a volume: the name of its root row, the one row without
// a parent. Nothing when the volume has none.
std::optional<QString> rootNameOf(const Database& db, const QString& tablename) {
    Statement root =
        db.prepare("SELECT name FROM " + quoteIdentifier(schema::dirsTable(tablename)) +
                   " WHERE parent IS NULL ORDER BY name LIMIT 1");
    if (!root.next())
        return std::nullopt;
    return root.text(0);
}

} // namespace

RootAndCategories ReadRootAndCategories(const Database& db) {
    RootAndCategories result;
    result.name = NullToEmpty(db.scalar("SELECT name FROM Name LIMIT 1"));
    Statement rows = db.prepare("SELECT \"key\", category FROM categories");
    while (rows.next())
        result.categories.push_back({CategoryKey(NullToEmpty(rows.value(0))), rows.text(1)});
    return result;
}

std::vector<VolumeEntry> ReadVolumes(const Database& db) {
    Statement rows = db.prepare("SELECT tablename, name, thedate, size, free, used, volumetype, "
                                "category, thedescription, dirs, files FROM \"index\" "
                                // Letter case ignored in SQL both engines
                                // know (a file's lower() folds ASCII only).
                                "ORDER BY volumetype, lower(name)");
    const QHash<QString, QString> changesReported = LastChangeDates(db);
    std::vector<VolumeEntry> volumes;
    while (rows.next()) {
        const QString tablename = rows.text(0);
        std::optional<QString> rootName;
        try {
            rootName = rootNameOf(db, tablename);
        } catch (const CatalogError&) {
        }
        if (!rootName)
            continue; // the consistency sweep removes such a volume
        VolumeEntry volume;
        volume.key = VolumeKey(tablename, *rootName);
        volume.name = rows.text(1);
        volume.parentKey = parentKeyOf(rows.value(7));
        volume.summary = {numberOf(rows.value(3)),    numberOf(rows.value(4)),
                          numberOf(rows.value(5)),    NullToEmpty(rows.value(2)),
                          NullToEmpty(rows.value(8)), countOf(rows.value(9)),
                          countOf(rows.value(10)),    changesReported.value(tablename)};
        volume.imageKey = VolumeImageKey(int(countOf(rows.value(6))), volume.summary.capacity);
        volume.storedDirs = NullToEmpty(rows.value(9));
        volume.storedFiles = NullToEmpty(rows.value(10));
        try {
            volume.folders = ReadSubFolders(db, tablename, *rootName);
        } catch (const CatalogError&) {
            // shown without its folders
        }
        volumes.push_back(std::move(volume));
    }
    return volumes;
}

std::vector<FolderEntry> ReadSubFolders(const Database& db, const QString& tablename,
                                        const QString& path) {
    std::vector<FolderEntry> folders;
    const QString table = schema::dirsTable(tablename);
    const FolderRows folder(db, table);
    Statement rows = db.prepare("SELECT name FROM " + quoteIdentifier(table) + " WHERE " +
                                folder.condition(1) + " ORDER BY lower(name)");
    folder.bind(rows, 1, path);
    while (rows.next()) {
        const QString name = rows.text(0);
        folders.push_back({FolderKey(tablename, path, name), name});
    }
    return folders;
}

std::vector<ListingRow> ReadFolderRows(const Database& db, const QString& tablename,
                                       const QString& path) {
    return readListing(db, schema::dirsTable(tablename), path);
}

std::vector<ListingRow> ReadFileRows(const Database& db, const QString& tablename,
                                     const QString& path) {
    return readListing(db, schema::filesTable(tablename), path);
}

QString VolumeNameOfKey(const Database& db, const QString& key) {
    return NullToEmpty(
        db.scalar("SELECT name FROM \"index\" WHERE tablename = ?", TableNameOf(key)));
}

} // namespace kestro
