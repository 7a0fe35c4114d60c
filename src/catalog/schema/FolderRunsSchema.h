#pragma once

// The tables of the folder runs (FolderRuns.h). The template is made with
// them; a catalog made before them gets them from its next cataloguing run.
// None of them is a volume table.
namespace kestro::schema {

inline constexpr const char* kFolderRunsSchema = R"sql(
-- One row per volume table whose runs are written. `last_rowid` is the
-- table's largest rowid then: rows after it were added since, by another
-- program, and are in no run. `schema_version` is the catalog's schema
-- version when the runs were last known to be right: a program that does not
-- know them and makes, drops or rebuilds a table (or the whole file) changes
-- the version, and the runs are then out of date. NULL while the transaction
-- that writes them is open.
CREATE TABLE IF NOT EXISTS folder_run_tables (
    list INTEGER PRIMARY KEY,
    volume_table TEXT NOT NULL UNIQUE COLLATE NOCASE,
    last_rowid INTEGER NOT NULL,
    schema_version INTEGER
);

-- Runs of consecutive rowids of a volume table whose rows share a parent.
-- `parent_hash` is a 32-bit hash of the parent text (FolderRunHash): folders
-- whose paths share a hash share its runs, so a reader still compares the
-- parent.
CREATE TABLE IF NOT EXISTS folder_runs (
    list INTEGER NOT NULL,
    parent_hash INTEGER NOT NULL,
    first_rowid INTEGER NOT NULL,
    last_rowid INTEGER NOT NULL,
    PRIMARY KEY (list, parent_hash, first_rowid)
) WITHOUT ROWID;
)sql";

} // namespace kestro::schema
