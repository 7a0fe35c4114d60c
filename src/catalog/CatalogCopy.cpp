#include "catalog/CatalogCopy.h"

#include "catalog/Catalog.h"
#include "catalog/CatalogError.h"
#include "catalog/CatalogFile.h"
#include "catalog/ChangeReport.h"
#include "catalog/FolderRuns.h"
#include "catalog/HostedCatalog.h"
#include "catalog/HostedNameIndex.h"
#include "catalog/NameIndex.h"
#include "catalog/RowAppender.h"
#include "catalog/Schema.h"
#include "platform/CatalogLocation.h"

#include <QFile>

namespace kestro {

namespace {

// Copies the columns of every row of a table into the same table of the
// other catalog, in the order the rows were added when `inRowidOrder`. Texts
// go across as the bytes they are, never through a conversion.
void copyRows(const Database& from, const Database& to, const QString& table,
              const std::string& columns, bool inRowidOrder = false) {
    Statement rows = from.prepare("SELECT " + columns + " FROM " + quoteIdentifier(table) +
                                  (inRowidOrder ? " ORDER BY rowid" : ""));
    Statement insert = to.prepare(schema::insertRowSql(table, columns));
    const int columnCount = rows.columnCount();
    while (rows.next()) {
        for (int c = 0; c < columnCount; ++c) {
            const SqlValue value = rows.value(c);
            if (std::holds_alternative<QString>(value))
                insert.bind(c + 1, rows.utf8(c));
            else
                insert.bind(c + 1, value);
        }
        insert.run();
        insert.reset();
    }
}

// A volume table's rows, which are many and hold texts only, in the order
// they were added.
void copyVolumeRows(const Database& from, const Database& to, const QString& table) {
    constexpr const char* kVolumeColumns = "name, parent, size, thedate, thedescription";
    Statement rows = from.prepare("SELECT " + std::string(kVolumeColumns) + " FROM " +
                                  quoteIdentifier(table) + " ORDER BY rowid");
    rows.readRowByRow();
    RowAppender appender(to, table, kVolumeColumns);
    const auto text = [&rows](int c) {
        return rows.isNull(c) ? std::nullopt : std::optional(rows.utf8(c));
    };
    while (rows.next())
        appender.append({text(0), text(1), text(2), text(3), text(4)});
    appender.flush();
}

void copyContents(const Database& from, const Database& to) {
    const Database::ReadTransaction reading(from);
    to.executeScript("DELETE FROM name;");
    copyRows(from, to, QStringLiteral("name"), "name");
    copyRows(from, to, QStringLiteral("categories"), "\"key\", category");
    copyRows(from, to, QStringLiteral("index"),
             "tablename, name, thedate, size, free, used, volumetype, category, thedescription, "
             "dirs, files");
    // Tables of a volume that are no volume's (a sweep would drop them) are
    // left behind, as are tables of other programs.
    const bool indexNames = to.isHosted() && CanIndexHostedNames(to);
    for (const QString& table : from.tableNames()) {
        const bool dirs = table.endsWith(QLatin1String("_dirs"), Qt::CaseInsensitive);
        if (!schema::isVolumeTable(table) ||
            !(dirs || table.endsWith(QLatin1String("_files"), Qt::CaseInsensitive)))
            continue;
        to.executeScript(schema::createVolumeTableSql(to.isHosted(), table,
                                                      dirs ? "template_dirs" : "template_files") +
                         ";");
        copyVolumeRows(from, to, table);
        if (to.isHosted())
            to.executeScript(schema::createLookupIndexSql(table) + ";");
        if (indexNames)
            IndexHostedNames(to, table);
    }
    if (from.hasTable(changes::kRunsTable) && from.hasTable(changes::kItemsTable)) {
        CreateChangeReportTables(to);
        copyRows(from, to, changes::kRunsTable, "tablename, thedate, added, removed, changed",
                 true);
        copyRows(from, to, changes::kItemsTable,
                 "tablename, kind, folder, location, name, oldsize, newsize, olddate, newdate");
    }
}

} // namespace

void copyCatalog(const Catalog& source, const QString& target, const QString& templatePath) {
    const Database from = source.open();
    if (isHostedLocation(target)) {
        const Database to = Database::open(target, OpenMode::SharedReadWrite);
        Database::Transaction transaction(to);
        createHostedCatalogIn(to);
        copyContents(from, to);
        transaction.commit();
        return;
    }
    if (QFile::exists(target))
        throw CatalogError(
            QStringLiteral("The catalog \"%1\" already exists: a copy goes to a new file.")
                .arg(target));
    createCatalogFromTemplate(templatePath, target);
    try {
        const Database to = Catalog(target, OpenMode::SharedReadWrite).open();
        Database::Transaction transaction(to);
        copyContents(from, to);
        IndexAllNames(to);
        WriteAllFolderRuns(to);
        transaction.commit();
    } catch (const CatalogError&) {
        QFile::remove(target);
        throw;
    }
}

} // namespace kestro
