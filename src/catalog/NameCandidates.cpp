#include "catalog/NameCandidates.h"

#include "catalog/NameIndex.h"
#include "catalog/NameIndexFormat.h"

#include <algorithm>
#include <cstring>

namespace kestro {

using namespace nameindex;

static_assert(NameCandidates::kNameEdge == kEdge);

NameCandidates::NameCandidates(const Database& db) {
    if (!HasNameIndex(db))
        return;
    // A table is covered when every segment of it is up to date.
    QHash<QString, bool> current;
    Statement segments = db.prepare(
        "SELECT s.segment, s.volume_table, s.blocks, s.buckets, m.rootpage IS s.rootpage "
        "FROM name_index_segments s LEFT JOIN sqlite_master m "
        "ON m.type = 'table' AND m.name = s.volume_table COLLATE NOCASE ORDER BY s.segment");
    while (segments.next()) {
        const QString table = segments.text(1).toLower();
        tables_[table].push_back(
            {segments.integer(0), quint32(segments.integer(2)), quint32(segments.integer(3))});
        const auto known = current.constFind(table);
        current[table] = (known == current.constEnd() || *known) && segments.integer(4) != 0;
    }
    for (auto it = current.constBegin(); it != current.constEnd(); ++it)
        if (!it.value())
            tables_.remove(it.key());
    groupRow_.emplace(db.prepare("SELECT blocks FROM name_index_grams WHERE id = ?1"));
    blockRow_.emplace(db.prepare("SELECT names, rowids FROM name_index_blocks WHERE id = ?1"));
}

bool NameCandidates::covers(const QString& table) const {
    return tables_.contains(table.toLower());
}

void NameCandidates::find(const QString& table, std::string_view needle,
                          const std::function<bool(std::span<const qint64>)>& visit) const {
    const auto segments = tables_.constFind(table.toLower());
    if (segments == tables_.constEnd() || needle.empty())
        return;
    std::vector<qint64> rowids;
    for (const Segment& segment : *segments)
        for (const quint32 block : blocksToRead(segment, needle)) {
            rowids.clear();
            findInBlock(partId(segment.id, block), needle, rowids);
            if (!rowids.empty() && !visit(rowids))
                return;
        }
}

std::vector<quint32> NameCandidates::blocksToRead(const Segment& segment,
                                                  std::string_view needle) const {
    std::vector<quint32> blocks;
    if (needle.size() < kGramBytes || segment.buckets == 0) {
        // Too short to have a piece: every block may hold it.
        for (quint32 b = 0; b < segment.blocks; ++b)
            blocks.push_back(b);
        return blocks;
    }
    const BucketLayout layout(segment.blocks, segment.buckets);
    std::vector<quint32> buckets;
    for (size_t at = 0; at + kGramBytes <= needle.size(); ++at)
        buckets.push_back(layout.bucketOf(pieceHash(needle.data() + at)));
    std::sort(buckets.begin(), buckets.end());
    buckets.erase(std::unique(buckets.begin(), buckets.end()), buckets.end());

    // The blocks whose bits are set in every bucket of the needle's pieces.
    std::string common(layout.bytesPerBucket, '\xFF');
    for (size_t i = 0; i < buckets.size();) {
        const quint32 group = layout.groupOf(buckets[i]);
        groupRow_->bind(1, partId(segment.id, group));
        const std::string_view bits = groupRow_->next() ? groupRow_->blob(0) : std::string_view();
        for (; i < buckets.size() && layout.groupOf(buckets[i]) == group; ++i) {
            const size_t offset = layout.offsetInGroup(buckets[i]);
            for (size_t byte = 0; byte < common.size(); ++byte)
                common[byte] &= offset + byte < bits.size() ? bits[offset + byte] : '\0';
        }
        groupRow_->reset();
    }
    for (quint32 b = 0; b < segment.blocks; ++b)
        if (common[b / 8] & (1 << (b % 8)))
            blocks.push_back(b);
    return blocks;
}

void NameCandidates::findInBlock(qint64 blockId, std::string_view needle,
                                 std::vector<qint64>& rowids) const {
    ++blocksRead_;
    blockRow_->bind(1, blockId);
    if (!blockRow_->next()) {
        blockRow_->reset();
        return;
    }
    const std::string_view names = blockRow_->blob(0);
    const std::string_view stored = blockRow_->blob(1);

    // Entry k of the block lies between its k-th and (k+1)-th edge byte. A
    // needle that begins with the edge is found on the edge before the entry.
    const size_t intoEntry = needle.front() == kEdge ? 1 : 0;
    size_t searchFrom = 0, counted = 0, edges = 0;
    size_t rowidAt = 0, entriesRead = 0;
    qint64 rowid = 0;
    while (searchFrom < names.size()) {
        const void* found = memmem(names.data() + searchFrom, names.size() - searchFrom,
                                   needle.data(), needle.size());
        if (!found)
            break;
        const size_t inside = size_t(static_cast<const char*>(found) - names.data()) + intoEntry;
        if (inside == names.size())
            break; // the edge after the last entry
        edges += size_t(std::count(names.begin() + qsizetype(counted),
                                   names.begin() + qsizetype(inside), kEdge));
        counted = inside;
        const size_t entry = edges - 1;
        while (entriesRead <= entry) {
            rowid = readRowid(stored, rowidAt, rowid);
            ++entriesRead;
        }
        rowids.push_back(rowid);
        // On to the next entry: one entry holding the needle twice is one row.
        const size_t end = names.find(kEdge, inside);
        searchFrom = end == std::string_view::npos ? names.size() : end;
    }
    blockRow_->reset();
}

} // namespace kestro
