#include "catalog/NameIndex.h"

#include "catalog/CatalogError.h"
#include "catalog/NameIndexFormat.h"
#include "catalog/Schema.h"
#include "catalog/SqlFunctions.h"
#include "catalog/schema/NameIndexSchema.h"

#include <algorithm>
#include <bit>

namespace kestro {

using namespace nameindex;

namespace {

// The rows to ask `keepGoing` after.
constexpr int kRowsBetweenChecks = 16384;

qint64 rootpageOf(const Database& db, const QString& table) {
    const SqlValue page = db.scalar(
        "SELECT rootpage FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE",
        table);
    if (isNull(page))
        throw CatalogError(QStringLiteral("The table \"%1\" is missing.").arg(table));
    return std::get<qint64>(page);
}

void dropSegment(const Database& db, qint64 segment) {
    db.execute("DELETE FROM name_index_blocks WHERE id BETWEEN ?1 AND ?2", firstPartId(segment),
               lastPartId(segment));
    db.execute("DELETE FROM name_index_grams WHERE id BETWEEN ?1 AND ?2", firstPartId(segment),
               lastPartId(segment));
    db.execute("DELETE FROM name_index_segments WHERE segment = ?1", segment);
}

std::vector<qint64> segmentsOf(const Database& db, const QString& table) {
    std::vector<qint64> segments;
    Statement rows = db.prepare(
        "SELECT segment FROM name_index_segments WHERE volume_table = ?1 COLLATE NOCASE");
    rows.bind(1, table);
    while (rows.next())
        segments.push_back(rows.integer(0));
    return segments;
}

} // namespace

// The names of one block as they are gathered, and which bucket of the most a
// segment may have each of their pieces falls into.
struct NameIndexWriter::Block {
    std::string names = std::string(1, kEdge);
    std::string rowids;
    qint64 firstRowid = 0, lastRowid = 0;
    int count = 0;
    std::vector<quint64> pieces = std::vector<quint64>(kMaxBuckets / 64);

    void add(qint64 rowid, std::string_view name) {
        const size_t start = names.size() - 1; // at the edge before the name
        appendFoldedName(name, names);
        names += kEdge;
        for (size_t at = start; at + kGramBytes <= names.size(); ++at) {
            const uint32_t hash = pieceHash(names.data() + at);
            pieces[hash / 64] |= quint64(1) << (hash % 64);
        }
        appendRowid(rowids, rowid, count == 0 ? 0 : lastRowid);
        if (count++ == 0)
            firstRowid = rowid;
        lastRowid = rowid;
    }

    uint32_t distinctPieces() const {
        uint32_t n = 0;
        for (const quint64 word : pieces)
            n += uint32_t(std::popcount(word));
        return n;
    }
};

const QStringList& NameIndexTables() {
    static const QStringList tables{QStringLiteral("name_index_segments"),
                                    QStringLiteral("name_index_blocks"),
                                    QStringLiteral("name_index_grams")};
    return tables;
}

bool IsNameIndexTable(const QString& name) {
    return NameIndexTables().contains(name, Qt::CaseInsensitive);
}

bool HasNameIndex(const Database& db) {
    return db.hasTable(NameIndexTables().first());
}

void CreateNameIndex(const Database& db) {
    // Its blocks point at rows by the numbers of a file's own tables.
    if (db.isHosted())
        throw CatalogError(QStringLiteral("A hosted catalog's names are indexed by its server."));
    if (!HasNameIndex(db))
        db.executeScript(schema::kNameIndexSchema);
}

void DropNameIndex(const Database& db) {
    Database::Transaction transaction(db);
    for (const QString& table : NameIndexTables())
        db.executeScript("DROP TABLE IF EXISTS " + quoteIdentifier(table) + ";");
    transaction.commit();
}

NameIndexWriter::NameIndexWriter(const Database& db, QString table, const QString& rowsTable)
    : db_(db), table_(std::move(table)), rootpage_(rootpageOf(db, rowsTable)),
      block_(std::make_unique<Block>()) {
    ForgetIndexedNames(db_, table_);
}

NameIndexWriter::~NameIndexWriter() = default;

void NameIndexWriter::add(qint64 rowid, std::string_view name) {
    if (block_->count == kBlockNames)
        closeBlock();
    block_->add(rowid, name);
}

void NameIndexWriter::finish() {
    if (block_->count > 0)
        closeBlock();
    // A table without rows is covered too: by a segment without blocks.
    if (!segment_.empty() || !segmentWritten_)
        writeSegment();
}

void NameIndexWriter::closeBlock() {
    segment_.push_back(std::move(*block_));
    *block_ = Block();
    if (segment_.size() == size_t(kSegmentBlocks))
        writeSegment();
}

void NameIndexWriter::writeSegment() {
    uint32_t mostPieces = 0;
    for (const Block& block : segment_)
        mostPieces = std::max(mostPieces, block.distinctPieces());
    const uint32_t buckets =
        segment_.empty()
            ? 0
            : std::clamp(std::bit_ceil(mostPieces * kBucketsPerPiece), kMinBuckets, kMaxBuckets);
    db_.execute("INSERT INTO name_index_segments (volume_table, rootpage, blocks, buckets) "
                "VALUES (?1, ?2, ?3, ?4)",
                table_, rootpage_, qint64(segment_.size()), qint64(buckets));
    const qint64 segment = db_.lastInsertRowid();

    Statement blockRow =
        db_.prepare("INSERT INTO name_index_blocks (id, first_rowid, last_rowid, names, rowids) "
                    "VALUES (?1, ?2, ?3, ?4, ?5)");
    for (size_t b = 0; b < segment_.size(); ++b) {
        const Block& block = segment_[b];
        blockRow.bind(1, partId(segment, qint64(b)))
            .bind(2, block.firstRowid)
            .bind(3, block.lastRowid)
            .bindBlob(4, block.names)
            .bindBlob(5, block.rowids)
            .run();
        blockRow.reset();
    }

    if (buckets > 0) {
        // Turned round: from the pieces of each block to the blocks of each bucket.
        const BucketLayout layout(uint32_t(segment_.size()), buckets);
        std::string bits(size_t(buckets) * layout.bytesPerBucket, '\0');
        for (size_t b = 0; b < segment_.size(); ++b) {
            const std::vector<quint64>& pieces = segment_[b].pieces;
            for (size_t word = 0; word < pieces.size(); ++word)
                for (quint64 set = pieces[word]; set != 0; set &= set - 1) {
                    const uint32_t hash = uint32_t(word * 64) + uint32_t(std::countr_zero(set));
                    bits[layout.bucketOf(hash) * layout.bytesPerBucket + b / 8] |=
                        char(1 << (b % 8));
                }
        }
        Statement groupRow =
            db_.prepare("INSERT INTO name_index_grams (id, blocks) VALUES (?1, ?2)");
        const size_t groupBytes = size_t(layout.bucketsPerGroup) * layout.bytesPerBucket;
        for (uint32_t group = 0; group < buckets / layout.bucketsPerGroup; ++group) {
            const std::string_view row(bits.data() + group * groupBytes, groupBytes);
            if (row.find_first_not_of('\0') == std::string_view::npos)
                continue;
            groupRow.bind(1, partId(segment, group)).bindBlob(2, row).run();
            groupRow.reset();
        }
    }
    segment_.clear();
    segmentWritten_ = true;
}

bool IndexNamesOf(const Database& db, const QString& table,
                  const std::function<bool()>& keepGoing) {
    Database::Transaction transaction(db);
    NameIndexWriter names(db, table, table);
    Statement rows = db.prepare("SELECT rowid, name FROM " + quoteIdentifier(table) +
                                " WHERE name IS NOT NULL ORDER BY rowid");
    for (int count = 1; rows.next(); ++count) {
        names.add(rows.integer(0), rows.utf8(1));
        if (count % kRowsBetweenChecks == 0 && keepGoing && !keepGoing())
            return false;
    }
    names.finish();
    transaction.commit();
    return true;
}

void IndexAllNames(const Database& db) {
    Database::Transaction transaction(db);
    DropNameIndex(db);
    CreateNameIndex(db);
    for (const QString& table : schema::listedVolumeTables(db))
        IndexNamesOf(db, table);
    transaction.commit();
}

void ForgetIndexedNames(const Database& db, const QString& table) {
    if (!HasNameIndex(db))
        return;
    for (const qint64 segment : segmentsOf(db, table))
        dropSegment(db, segment);
}

void ForgetIndexedRows(const Database& db, const QString& table,
                       const std::vector<qint64>& rowids) {
    if (rowids.empty() || !HasNameIndex(db))
        return;
    const std::vector<qint64> segments = segmentsOf(db, table);
    Statement blocks = db.prepare("SELECT id, names, rowids FROM name_index_blocks WHERE id "
                                  "BETWEEN ?1 AND ?2 AND ?3 BETWEEN first_rowid AND last_rowid");
    Statement update = db.prepare("UPDATE name_index_blocks SET first_rowid = ?2, "
                                  "last_rowid = ?3, names = ?4, rowids = ?5 WHERE id = ?1");
    for (const qint64 gone : rowids)
        for (const qint64 segment : segments) {
            blocks.bind(1, firstPartId(segment)).bind(2, lastPartId(segment)).bind(3, gone);
            if (!blocks.next()) {
                blocks.reset();
                continue;
            }
            const qint64 id = blocks.integer(0);
            const std::string names(blocks.blob(1)), oldRowids(blocks.blob(2));
            blocks.reset();

            // The block again, without the row's entry.
            std::string keptNames(1, kEdge), keptRowids;
            qint64 previous = 0, first = 0, last = 0;
            size_t at = 0;
            for (size_t name = 1; name < names.size();) {
                const size_t end = names.find(kEdge, name);
                const qint64 rowid = readRowid(oldRowids, at, previous);
                previous = rowid;
                if (rowid != gone) {
                    if (keptRowids.empty())
                        first = rowid;
                    keptNames.append(names, name, end - name + 1);
                    appendRowid(keptRowids, rowid, keptRowids.empty() ? 0 : last);
                    last = rowid;
                }
                name = end + 1;
            }
            update.bind(1, id).bind(2, first).bind(3, last).bindBlob(4, keptNames);
            update.bindBlob(5, keptRowids).run();
            update.reset();
            break;
        }
}

void PruneNameIndex(const Database& db) {
    if (!HasNameIndex(db))
        return;
    std::vector<qint64> stale;
    {
        Statement segments =
            db.prepare("SELECT s.segment FROM name_index_segments s LEFT JOIN sqlite_master m "
                       "ON m.type = 'table' AND m.name = s.volume_table COLLATE NOCASE "
                       "WHERE m.rootpage IS NOT s.rootpage");
        while (segments.next())
            stale.push_back(segments.integer(0));
    }
    for (const qint64 segment : stale)
        dropSegment(db, segment);
}

} // namespace kestro
