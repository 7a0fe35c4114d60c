#pragma once

#include "catalog/Database.h"

#include <QHash>
#include <QString>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kestro {

// The candidate filter of a name search over a catalog file: from the name
// index (NameIndex.h), the rows of a volume table whose case-folded name
// holds a text, without reading the table. What it gives is only a list of
// candidates; the search condition judges each of them.
//
// The text looked for (the needle) is case-folded like the names
// (appendFoldedName); a needle that begins with kNameEdge is looked for at
// the beginning of names only, one that ends with it at their end.
class NameCandidates {
public:
    static constexpr char kNameEdge = '\xFF';

    // The index as the catalog holds it now; without the index's tables,
    // nothing is covered.
    explicit NameCandidates(const Database& db);

    // True when the index holds the names of the table and they are up to
    // date, so that find() can stand in for reading the table.
    bool covers(const QString& table) const;

    // Calls `visit` with the rowids of the rows of a covered table whose name
    // holds the needle, in rowid order, block by block (never an empty
    // list). Stops when `visit` returns false.
    void find(const QString& table, std::string_view needle,
              const std::function<bool(std::span<const qint64>)>& visit) const;

    // The blocks of names find() has read so far: how far the index narrowed
    // the searches (a block holds 1,024 names).
    qint64 blocksRead() const { return blocksRead_; }

private:
    struct Segment {
        qint64 id;
        quint32 blocks;
        quint32 buckets;
    };

    // The blocks of a segment that may hold the needle, in order.
    std::vector<quint32> blocksToRead(const Segment& segment, std::string_view needle) const;
    // The rowids of the entries of one block that hold the needle.
    void findInBlock(qint64 blockId, std::string_view needle, std::vector<qint64>& rowids) const;

    QHash<QString, std::vector<Segment>> tables_; // by lower-case table name
    // Prepared once for all look-ups; present when the index is.
    mutable std::optional<Statement> groupRow_, blockRow_;
    mutable qint64 blocksRead_ = 0;
};

} // namespace kestro
