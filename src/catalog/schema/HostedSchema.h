#pragma once

#include <string>

// The tables and functions of a hosted catalog: the template's tables
// (catalog.sql) as a PostgreSQL server holds them, and the catalog's SQL
// functions (SqlFunctions.h) written in the server's SQL. The server folds
// unquoted names to lower case, so every table is named in lower case; the
// catalog's SQL names them in any case without quotes, or in lower case with.
namespace kestro::schema {

inline constexpr const char* kHostedSchema = R"sql(
-- What a file keeps as PRAGMA application_id and user_version: exactly one row.
CREATE TABLE kestro_schema (
    application_id integer NOT NULL,
    user_version integer NOT NULL
);

CREATE TABLE name (
    name text NOT NULL
);
INSERT INTO name (name) VALUES ('Kestro Catalog');

CREATE TABLE categories (
    "key" bigint PRIMARY KEY CHECK ("key" >= 1),
    category text
);

CREATE TABLE "index" (
    tablename text NOT NULL PRIMARY KEY,
    name text,
    thedate text,
    size double precision,
    free double precision,
    used double precision,
    volumetype bigint,
    category text,
    thedescription text,
    dirs bigint,
    files bigint
);

-- A volume table's rows are found by their rowid, as in a file, where every
-- table has one; it comes after the file's columns, which keep their order.
CREATE TABLE template_dirs (
    name text,
    parent text,
    size text,
    thedate text,
    thedescription text,
    rowid bigint GENERATED ALWAYS AS IDENTITY
);
CREATE TABLE template_files (
    name text,
    parent text,
    size text,
    thedate text,
    thedescription text,
    rowid bigint GENERATED ALWAYS AS IDENTITY
);

-- Letter case is ignored by lower(), which follows the database's locale:
-- a catalog's database must have a UTF-8 one for all of Unicode. One SQL
-- expression, which the server puts in place of a call: the names' trigram
-- index on lower(name) then serves a search (HostedNameIndex.h).
CREATE FUNCTION kestro_like(pattern text, subject text) RETURNS boolean
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
    SELECT lower(subject) LIKE replace(replace(replace(replace(replace(
        lower(pattern), '\', '\\'), '%', '\%'), '_', '\_'), '*', '%'), '?', '_')
$$;

CREATE FUNCTION kestro_contains(part text, subject text) RETURNS boolean
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
    SELECT strpos(lower(subject), lower(part)) > 0
$$;

CREATE FUNCTION kestro_kb(size_text text) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
    SELECT CASE WHEN size_text ~ '^[0-9 ,]*(\.[0-9 ,]*)?[kK][bB]$' AND size_text ~ '[0-9]'
                THEN translate(left(size_text, -2), ' ,', '')::double precision END
$$;

CREATE FUNCTION kestro_below_root(parent text) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
    SELECT CASE WHEN parent ~ '^[A-Za-z]:' THEN substr(parent, 3) ELSE parent END
$$;

-- Month first; a two-digit year falls in the hundred years that end ten
-- years after this one. Seconds since 1970 as if the clock were UTC.
CREATE FUNCTION kestro_moment(date_text text) RETURNS bigint
LANGUAGE plpgsql STABLE STRICT PARALLEL SAFE AS $$
DECLARE
    part text[];
    yr integer;
    mon integer;
    dy integer;
    hr integer;
    mins integer;
    secs integer;
    first_year integer;
BEGIN
    part := regexp_match(date_text, '^ *([0-9]{1,2})/([0-9]{1,2})/([0-9]{4}|[0-9]{2}) +'
                                    '([0-9]{1,2}):([0-9]{2})(?::([0-9]{2}))? ?([aApP])[mM] *$');
    IF part IS NULL THEN
        RETURN NULL;
    END IF;
    mon := part[1];
    dy := part[2];
    yr := part[3];
    hr := part[4];
    mins := part[5];
    secs := coalesce(part[6], '0');
    IF hr < 1 OR hr > 12 OR mins > 59 OR secs > 59 OR mon < 1 OR mon > 12 OR dy < 1 THEN
        RETURN NULL;
    END IF;
    hr := hr % 12 + CASE WHEN part[7] IN ('p', 'P') THEN 12 ELSE 0 END;
    IF length(part[3]) = 2 THEN
        first_year := extract(year FROM localtimestamp)::integer + 10 - 99;
        yr := first_year - first_year % 100 + yr;
        IF yr < first_year THEN
            yr := yr + 100;
        END IF;
    END IF;
    IF yr < 1 OR yr > 9999 OR dy > extract(day FROM make_date(yr, mon, 1)
                                           + interval '1 month' - interval '1 day') THEN
        RETURN NULL;
    END IF;
    RETURN (make_date(yr, mon, dy) - date '1970-01-01')::bigint * 86400
           + hr * 3600 + mins * 60 + secs;
END
$$;
)sql";

// The count of the commits that changed a hosted catalog, which tells a
// client that it changed (Catalog::stamp): one row. Made with the catalog,
// and by Compact in a catalog made before it.
inline constexpr const char* kHostedCommitCount = R"sql(
CREATE TABLE IF NOT EXISTS kestro_commits (
    commits bigint NOT NULL
);
INSERT INTO kestro_commits (commits) SELECT 0 WHERE NOT EXISTS (SELECT FROM kestro_commits);
)sql";

// Counts one commit, in the transaction that commits; in a catalog made
// before the count, nothing. With `ifWritten`, only when the transaction
// changed something: it holds an identifier only once it writes.
inline std::string countCommitSql(bool ifWritten) {
    return std::string("DO $$ BEGIN IF to_regclass('kestro_commits') IS NOT NULL") +
           (ifWritten ? " AND pg_current_xact_id_if_assigned() IS NOT NULL" : "") +
           " THEN UPDATE kestro_commits SET commits = commits + 1; END IF; END $$;";
}

} // namespace kestro::schema
