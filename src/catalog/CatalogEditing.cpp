#include "catalog/CatalogEditing.h"

#include "catalog/CatalogError.h"
#include "catalog/ChangeReport.h"
#include "catalog/FolderRuns.h"
#include "catalog/NameIndex.h"
#include "catalog/Schema.h"

namespace kestro {

namespace {

// A statement that must change at least one row to have done its work.
template <typename... Args>
void changeRows(const Database& db, std::string_view sql, const QString& missing,
                const Args&... args) {
    db.execute(sql, args...);
    if (db.changes() == 0)
        throw CatalogError(missing);
}

SqlValue descriptionValue(const std::optional<QString>& description) {
    if (!description)
        return std::monostate{};
    return *description;
}

void describeRow(const Database& db, const QString& table, const QString& parent,
                 const QString& name, const std::optional<QString>& description,
                 const QString& what) {
    const FolderRows folder(db, table);
    Statement update =
        db.prepare("UPDATE " + quoteIdentifier(table) +
                   " SET thedescription = ?1 WHERE name = ?3 AND " + folder.condition(2));
    update.bind(1, descriptionValue(description)).bind(3, name);
    folder.bind(update, 2, parent);
    update.run();
    if (db.changes() == 0)
        throw CatalogError(
            QStringLiteral("The %1 \"%2\" is no longer in the catalog.").arg(what, name));
}

// The volume leaves the catalog: its tables, its change reports and its
// names in the name index go.
void dropVolumeTables(const Database& db, const QString& tablename) {
    db.executeScript("DROP TABLE IF EXISTS " + quoteIdentifier(schema::dirsTable(tablename)) +
                     "; DROP TABLE IF EXISTS " + quoteIdentifier(schema::filesTable(tablename)) +
                     ";");
    DeleteChangeReports(db, tablename);
    ForgetIndexedNames(db, schema::dirsTable(tablename));
    ForgetIndexedNames(db, schema::filesTable(tablename));
    ForgetFolderRuns(db, schema::dirsTable(tablename));
    ForgetFolderRuns(db, schema::filesTable(tablename));
}

// Deletes the rows of a folder or file of that name in that folder, and
// their entries in the name index.
void deleteRows(const Database& db, const QString& table, const QString& parent,
                const QString& name) {
    Database::Transaction transaction(db);
    std::vector<qint64> rowids;
    const FolderRows folder(db, table);
    Statement deleted =
        db.prepare("DELETE FROM " + quoteIdentifier(table) + " WHERE name = ?2 AND " +
                   folder.condition(1) + " RETURNING rowid");
    deleted.bind(2, name);
    folder.bind(deleted, 1, parent);
    while (deleted.next())
        rowids.push_back(deleted.integer(0));
    ForgetIndexedRows(db, table, rowids);
    transaction.commit();
}

} // namespace

int NextCategoryKey(const Database& db) {
    int candidate = 1;
    Statement keys = db.prepare("SELECT \"key\" FROM categories ORDER BY \"key\"");
    while (keys.next() && keys.integer(0) == candidate)
        ++candidate;
    return candidate;
}

int AddCategory(const Database& db, const QString& name) {
    Database::Transaction transaction(db);
    const int key = NextCategoryKey(db);
    db.execute("INSERT INTO categories (\"key\", category) VALUES (?1, ?2)", key, name);
    transaction.commit();
    return key;
}

void CategorizeVolume(const Database& db, const QString& tablename, int categoryKey) {
    changeRows(db, "UPDATE \"index\" SET category = ?1 WHERE tablename = ?2",
               QStringLiteral("The volume is no longer in the catalog."),
               QString::number(categoryKey), tablename);
}

void RenameCatalog(const Database& db, const QString& name) {
    db.execute("UPDATE Name SET name = ?1", name);
}

void RenameCategory(const Database& db, int categoryKey, const QString& name) {
    changeRows(db, "UPDATE categories SET category = ?1 WHERE \"key\" = ?2",
               QStringLiteral("The category is no longer in the catalog."), name, categoryKey);
}

void RenameVolume(const Database& db, const QString& tablename, const QString& name) {
    changeRows(db, "UPDATE \"index\" SET name = ?1 WHERE tablename = ?2",
               QStringLiteral("The volume is no longer in the catalog."), name, tablename);
}

void DeleteVolume(const Database& db, const QString& tablename) {
    Database::Transaction transaction(db);
    db.execute("DELETE FROM \"index\" WHERE tablename = ?1", tablename);
    dropVolumeTables(db, tablename);
    transaction.commit();
}

void DeleteCategory(const Database& db, int categoryKey) {
    Database::Transaction transaction(db);
    db.execute("DELETE FROM categories WHERE \"key\" = ?1", categoryKey);
    QStringList volumes;
    {
        Statement s = db.prepare("SELECT tablename FROM \"index\" WHERE category = ?1");
        s.bind(1, QString::number(categoryKey));
        while (s.next())
            volumes << s.text(0);
    }
    for (const QString& tablename : volumes)
        DeleteVolume(db, tablename);
    transaction.commit();
}

void DeleteFolderRow(const Database& db, const QString& tablename, const QString& parent,
                     const QString& name) {
    deleteRows(db, schema::dirsTable(tablename), parent, name);
}

void DeleteFileRow(const Database& db, const QString& tablename, const QString& parent,
                   const QString& name) {
    deleteRows(db, schema::filesTable(tablename), parent, name);
}

void DescribeVolume(const Database& db, const QString& tablename,
                    const std::optional<QString>& description) {
    changeRows(db, "UPDATE \"index\" SET thedescription = ?1 WHERE tablename = ?2",
               QStringLiteral("The volume is no longer in the catalog."),
               descriptionValue(description), tablename);
}

void DescribeFolder(const Database& db, const QString& tablename, const QString& parent,
                    const QString& name, const std::optional<QString>& description) {
    describeRow(db, schema::dirsTable(tablename), parent, name, description,
                QStringLiteral("folder"));
}

void DescribeFile(const Database& db, const QString& tablename, const QString& parent,
                  const QString& name, const std::optional<QString>& description) {
    describeRow(db, schema::filesTable(tablename), parent, name, description,
                QStringLiteral("file"));
}

} // namespace kestro
