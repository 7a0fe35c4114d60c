#pragma once

// The tables of the name index (NameIndex.h). The template is made with them,
// so every new catalog has them; a catalog made before them gets them when
// its index is first built. None of them is a volume table.
namespace kestro::schema {

inline constexpr const char* kNameIndexSchema = R"sql(
-- One row per part of a volume table's names: up to 256 blocks of 1,024
-- names. `rootpage` is the table's root page when its names were indexed: a
-- table made anew (a re-catalog by a program that does not know the index)
-- has another, and its parts are then out of date.
CREATE TABLE name_index_segments (
    segment INTEGER PRIMARY KEY,
    volume_table TEXT NOT NULL,
    rootpage INTEGER NOT NULL,
    blocks INTEGER NOT NULL,
    buckets INTEGER NOT NULL
);

-- The names of one block, case-folded, each between two 0xFF bytes, and the
-- rowids of their rows. `id` is segment * 2^32 + block number.
CREATE TABLE name_index_blocks (
    id INTEGER PRIMARY KEY,
    first_rowid INTEGER NOT NULL,
    last_rowid INTEGER NOT NULL,
    names BLOB NOT NULL,
    rowids BLOB NOT NULL
);

-- Which blocks of a segment hold a four-byte piece of a name: the pieces are
-- hashed into the segment's buckets, and each bucket has a bit per block.
-- `id` is segment * 2^32 + group of buckets; a group without a bit set is
-- not stored.
CREATE TABLE name_index_grams (
    id INTEGER PRIMARY KEY,
    blocks BLOB NOT NULL
);
)sql";

} // namespace kestro::schema
