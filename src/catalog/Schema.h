#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <string>
#include <string_view>

namespace kestro {
class Database;
}

namespace kestro::schema {

// PRAGMA application_id of every catalog ("KEST"); a file without it is not
// one of ours.
constexpr int kApplicationId = 0x4B455354;
// PRAGMA user_version of the schema this program writes.
constexpr int kSchemaVersion = 1;

// The table a hosted catalog keeps what a file keeps in its header: the
// application id and the schema version.
inline constexpr const char* kHostedHeaderTable = "kestro_schema";
// The table a hosted catalog counts its commits in (HostedSchema.h).
inline constexpr const char* kHostedCommitsTable = "kestro_commits";

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
// table of the change reports, not a hosted catalog's header table or its
// count of commits, and not
// one of the database engine's own (names beginning with "msys", "~" or
// "sqlite_"). Letter case does not count.
bool isVolumeTable(const QString& name);

// The names of the catalog's tables in lower case, read at once: on a server,
// asking for each of many tables would cost a round trip each.
QSet<QString> heldTables(const Database& db);

// The tables of the volumes the catalog's "index" lists that the catalog
// holds: each volume's folder table, then its file table.
QStringList listedVolumeTables(const Database& db);

// The INSERT of one row into the `columns` ("a, b, c") of `table`, their
// values bound to ?1, ?2, ... in that order.
std::string insertRowSql(const QString& table, std::string_view columns);

// Makes `table` an empty table of the shape of `model`, one of the two
// template tables; on a server with the template's rowid column.
std::string createVolumeTableSql(bool hosted, const QString& table, const char* model);

// What a table made on the fly needs on a server to have rows in the order
// they were added, as every table of a file has: its own rowid column
// (", rowid ..." to end a column list). Empty for a file.
std::string rowidColumnSql(bool hosted);

// The index on (parent, name) that finds a folder's rows of a volume table
// on a server, built after the table's rows are in. A file has folder runs
// instead (FolderRuns.h).
std::string createLookupIndexSql(const QString& table);

} // namespace kestro::schema
