-- The catalog template: every new catalog is a byte copy of the file this
-- script builds (new.kst), with the name index's tables (NameIndexSchema.h)
-- and the folder runs' (FolderRunsSchema.h).
-- Volume tables are made from the two template tables when a volume is
-- catalogued.

-- Volume tables of a million rows load and index markedly faster on 8 KiB
-- pages than on the default 4 KiB.
PRAGMA page_size = 8192;
PRAGMA application_id = 1262834516; -- 0x4B455354, "KEST"
PRAGMA user_version = 1;
PRAGMA journal_mode = DELETE;

-- The catalog's display name: exactly one row.
CREATE TABLE "Name" (
    name TEXT NOT NULL
);
INSERT INTO "Name" (name) VALUES ('Kestro Catalog');

-- The user's categories; volumes refer to them by key.
CREATE TABLE categories (
    "key" INTEGER PRIMARY KEY CHECK ("key" >= 1),
    category TEXT
);

-- One row per catalogued volume. `tablename` is the prefix of the volume's
-- folder table (tablename_dirs) and file table (tablename_files).
CREATE TABLE "index" (
    tablename TEXT NOT NULL PRIMARY KEY,
    name TEXT,
    thedate TEXT,
    size REAL,
    free REAL,
    used REAL,
    volumetype INTEGER,
    category TEXT,
    thedescription TEXT,
    dirs INTEGER,
    files INTEGER
);

-- Models of every volume's two tables. Sizes and dates are stored texts:
-- "      1,234KB" and "3/5/98 2:07pm".
CREATE TABLE template_dirs (
    name TEXT,
    parent TEXT,
    size TEXT,
    thedate TEXT,
    thedescription TEXT
);
CREATE TABLE template_files (
    name TEXT,
    parent TEXT,
    size TEXT,
    thedate TEXT,
    thedescription TEXT
);
