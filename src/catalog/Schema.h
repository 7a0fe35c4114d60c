#pragma once

#include <QString>
#include <QStringList>

namespace kestro::schema {

// PRAGMA application_id of every catalog ("KEST"); a file without it is not
// one of ours.
constexpr int kApplicationId = 0x4B455354;
// PRAGMA user_version of the schema this program writes.
constexpr int kSchemaVersion = 1;

// The fixed tables every catalog holds; a file lacking one cannot be used.
inline const QStringList& fixedTables() {
    static const QStringList names{QStringLiteral("Name"), QStringLiteral("categories"),
                                   QStringLiteral("index"), QStringLiteral("template_dirs"),
                                   QStringLiteral("template_files")};
    return names;
}

// A volume's two tables: its identifier followed by "_dirs" and "_files".
inline QString dirsTable(const QString& tablename) {
    return tablename + QStringLiteral("_dirs");
}
inline QString filesTable(const QString& tablename) {
    return tablename + QStringLiteral("_files");
}

// True when a table belongs to a volume: it is none of the fixed tables, none
// of the name index's (NameIndex.h) or the folder runs' (FolderRuns.h), no
// table of the change reports, and not one of the database engine's own
// (names beginning with "msys", "~" or "sqlite_"). Letter case does not count.
bool isVolumeTable(const QString& name);

} // namespace kestro::schema
