#pragma once

#include "catalog/Database.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestro {

// A cataloguing run imports the rows of each folder together, so a volume
// table's rows lie in runs of consecutive rowids that share a parent. The
// folder runs record them (FolderRunsSchema.h): a few bytes per folder find
// a folder's rows, where an index on (parent, name) repeats the parent text
// of every row and doubles the size of a catalog.
//
// Runs stand for a table while the catalog's schema version is the one they
// were written under: a program that does not know them, re-cataloguing a
// volume or compacting the file (which numbers rows anew), changes it and
// leaves them out of date. Readers then read the table by its parent column
// (through the lookup index such a program makes). This program's own
// transactions keep them current (Database::Transaction), and Compact
// writes them all anew.

// The runs' own tables, which are never volume tables.
const QStringList& FolderRunsTables();
bool IsFolderRunsTable(const QString& name);
// Makes the runs' tables, unless they are there.
void CreateFolderRuns(const Database& db);

// The hash of a parent text (its UTF-8 bytes) the runs are found by.
qint32 FolderRunHash(std::string_view parent);

// Writes the runs of one volume table, fed row by row in rowid order, in the
// caller's transaction. What was recorded of the table before goes at once.
// The rows may sit in a table that is to take the table's name (a cataloguing
// run's new table).
class FolderRunsWriter {
public:
    FolderRunsWriter(const Database& db, QString table);

    // A row with a parent; the root row has none and is not in any run.
    void add(qint64 rowid, std::string_view parent);
    // Writes the runs, once every row is in the table of its name; they then
    // stand for the table.
    void finish();

private:
    struct Run {
        qint32 hash;
        qint64 first, last;
    };

    const Database& db_;
    QString table_;
    std::vector<Run> runs_;
    std::string lastParent_;
};

// Writes the runs of every volume table afresh, in one transaction: after
// Compact, which may number rows anew, and for tables no run has recorded.
void WriteAllFolderRuns(const Database& db);

// Takes a volume table out of the runs (it is dropped or made anew).
void ForgetFolderRuns(const Database& db, const QString& table);

// Takes out the runs of every table that is gone. (Those out of date are
// never read, and go when their table is catalogued again or at Compact.)
void PruneFolderRuns(const Database& db);

// Called as a transaction commits: the runs that were current when it began,
// and those it wrote, stand for the schema as the transaction leaves it.
void KeepFolderRunsCurrent(const Database& db, qint64 schemaVersionAtStart);

// Picks the rows of one folder of a volume table in a statement: through the
// table's runs when they are current (and the rows added after them), else
// by the parent column alone.
class FolderRows {
public:
    FolderRows(const Database& db, const QString& table);

    // The condition for a WHERE clause, with the folder's path as the
    // statement's parameter `parentParameter` (?N). Its own parameters are
    // named, and SQLite numbers them after the numbered ones that come before
    // them: it follows every numbered parameter of the statement.
    std::string condition(int parentParameter) const;
    // Binds the path, and what the condition needs besides.
    void bind(Statement& statement, int parentParameter, const QString& parent) const;

private:
    struct Runs {
        qint64 list, lastRowid;
    };
    QString table_;
    std::optional<Runs> runs_;
};

} // namespace kestro
