#pragma once

#include <QtGlobal>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// How the name index's rows are laid out; shared by what writes them
// (NameIndex.cpp) and what reads them (NameCandidates.cpp).
namespace kestro::nameindex {

// Names per block, and blocks per segment. A block is what a look-up reads
// when its names may hold the text looked for: small enough to read in a few
// microseconds, large enough that a segment's bucket bits stay few.
constexpr int kBlockNames = 1024;
constexpr int kSegmentBlocks = 256;

// Every name in a block stands between two of these bytes, which no UTF-8
// text holds. A text looked for that begins (ends) with one is tied to the
// beginning (end) of a name.
constexpr char kEdge = '\xFF';

// The pieces of names the buckets record: every run of four bytes of a name
// with its two edge bytes.
constexpr size_t kGramBytes = 4;

// A piece's bucket among the most a segment has; a segment with fewer
// buckets (a power of two) takes the low bits of this number.
constexpr int kHashBits = 15;
constexpr uint32_t kMaxBuckets = 1u << kHashBits;
// A block's buckets are at most one in eight full, so that a piece a block
// lacks seldom finds its bucket's bit set by another piece.
constexpr uint32_t kBucketsPerPiece = 8;
constexpr uint32_t kMinBuckets = 512;
// The bits of a group of buckets are stored together, in rows of about this
// many bytes.
constexpr uint32_t kGroupBytes = 512;

inline uint32_t pieceHash(const char* piece) {
    uint32_t value;
    std::memcpy(&value, piece, sizeof value);
    return (value * 0x9E3779B1u) >> (32 - kHashBits);
}

// The id of a block or of a group of buckets of a segment.
inline qint64 partId(qint64 segment, qint64 part) {
    return (segment << 32) | part;
}
inline qint64 firstPartId(qint64 segment) {
    return partId(segment, 0);
}
inline qint64 lastPartId(qint64 segment) {
    return partId(segment, 0xFFFFFFFF);
}

// Where the bits of the buckets of a segment of `blocks` blocks lie: a bucket
// has a bit per block, in `bytesPerBucket` bytes; `bucketsPerGroup` buckets
// make a stored row.
struct BucketLayout {
    uint32_t buckets;
    uint32_t bytesPerBucket;
    uint32_t bucketsPerGroup;

    BucketLayout(uint32_t blockCount, uint32_t bucketCount)
        : buckets(bucketCount), bytesPerBucket((blockCount + 7) / 8), bucketsPerGroup(1) {
        while (bucketsPerGroup * 2 <= buckets &&
               bucketsPerGroup * 2 * bytesPerBucket <= kGroupBytes)
            bucketsPerGroup *= 2;
    }
    uint32_t bucketOf(uint32_t hash) const { return hash & (buckets - 1); }
    uint32_t groupOf(uint32_t bucket) const { return bucket / bucketsPerGroup; }
    size_t offsetInGroup(uint32_t bucket) const {
        return size_t(bucket % bucketsPerGroup) * bytesPerBucket;
    }
};

// Rowids are stored as the differences from the one before (from 0 for the
// first), zigzag-coded and seven bits a byte.
inline void appendRowid(std::string& out, qint64 rowid, qint64 previous) {
    const auto difference = quint64(rowid) - quint64(previous);
    quint64 value = (difference << 1) ^ quint64(qint64(difference) >> 63);
    while (value >= 0x80) {
        out += char(value | 0x80);
        value >>= 7;
    }
    out += char(value);
}

// Reads the next rowid; `at` moves past it.
inline qint64 readRowid(std::string_view bytes, size_t& at, qint64 previous) {
    quint64 value = 0;
    for (int shift = 0; at < bytes.size() && shift < 64; shift += 7) {
        const auto byte = quint64(static_cast<unsigned char>(bytes[at++]));
        value |= (byte & 0x7F) << shift;
        if (byte < 0x80)
            break;
    }
    const quint64 difference = (value >> 1) ^ (0 - (value & 1));
    return qint64(quint64(previous) + difference);
}

} // namespace kestro::nameindex
