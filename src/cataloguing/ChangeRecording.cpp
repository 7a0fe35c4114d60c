#include "cataloguing/ChangeRecording.h"

#include "catalog/PathBelowRoot.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace kestro {

namespace {

// Rows read between two yields to the user interface.
constexpr int kRowsPerYield = 4096;

// MurmurHash64A: fast on short texts, and its 64 bits are evenly spread.
quint64 hashBytes(std::string_view bytes, quint64 seed) {
    constexpr quint64 m = 0xc6a4a7935bd1e995ULL;
    constexpr int r = 47;
    quint64 h = seed ^ (bytes.size() * m);
    const char* p = bytes.data();
    size_t n = bytes.size();
    for (; n >= 8; p += 8, n -= 8) {
        quint64 k;
        std::memcpy(&k, p, 8);
        k *= m;
        k ^= k >> r;
        k *= m;
        h ^= k;
        h *= m;
    }
    if (n > 0) {
        quint64 k = 0;
        std::memcpy(&k, p, n);
        h ^= k;
        h *= m;
    }
    h ^= h >> r;
    h *= m;
    h ^= h >> r;
    return h;
}

// Two independent hashes of an item's path below the root and name: where
// the slot is looked for, and a check that tells items apart in it.
struct ItemHash {
    quint64 key;
    quint32 check;
};

// Hashes items; rows come folder by folder, so the hashes of the last
// parent are kept rather than made again for each of its items.
class ItemHasher {
public:
    ItemHash operator()(std::string_view parent, std::string_view name) {
        const std::string_view below = PathBelowRoot(parent);
        if (below != lastBelow_) {
            lastBelow_.assign(below);
            keySeed_ = hashBytes(below, 0x6b657374726f3031ULL);
            checkSeed_ = hashBytes(below, 0x9e3779b97f4a7c15ULL);
        }
        return {hashBytes(name, keySeed_), quint32(hashBytes(name, checkSeed_) >> 32)};
    }

private:
    std::string lastBelow_ = std::string(1, '\0'); // no parent is this
    quint64 keySeed_ = 0, checkSeed_ = 0;
};

// A stored text that may be Null; Null hashes apart from every text.
quint64 textHash(const std::string_view* text, quint64 seed) {
    return text ? hashBytes(*text, seed) : seed * 0xff51afd7ed558ccdULL;
}

quint32 attributesHash(const std::string_view* size, const std::string_view* date) {
    return quint32(textHash(date, textHash(size, 0x73697a6564617465ULL)) >> 32);
}

__extension__ using Wide = unsigned __int128;

// The folder below the root as a report shows it: "\" at the top.
constexpr const char* kLocationOfOld = "CASE WHEN kestro_below_root(o.parent) = '' THEN '\\' "
                                       "ELSE kestro_below_root(o.parent) END";

} // namespace

// The old rows in the table's order, and an open-addressing hash table of
// their positions with a third more slots than rows, probed linearly. A walk
// lists a folder's items in the same order each time, so the next new row is
// most often the old row after the one matched last: that one is tried
// first, and read in order the rows stay in the processor's cache.
struct TableChanges::Previous {
    struct Row {
        quint64 key;
        quint32 check;
        quint32 attributes;
    };
    // Rowids follow one another but where rows were taken out: a row's rowid
    // is that of the first row of its run plus its distance from it.
    struct RowidRun {
        size_t position;
        qint64 rowid;
    };
    static constexpr quint32 kEmpty = ~quint32(0);

    std::vector<Row> rows;
    std::vector<RowidRun> rowidRuns;
    std::vector<bool> matched;
    std::vector<quint32> slots; // positions in `rows`
    size_t next = 0;            // the row after the one matched last
    ItemHasher hashNewItem;
    // Old and new rowid of each file whose size or date changed.
    std::vector<std::pair<qint64, qint64>> changed;

    // Room for `count` rows, and at least one slot always empty.
    explicit Previous(size_t count) : slots(count + count / 3 + 1, kEmpty) { rows.reserve(count); }

    // The key scaled to the table's size: the high half of their product.
    size_t home(quint64 key) const { return size_t(Wide(key) * slots.size() >> 64); }
    size_t after(size_t i) const { return i + 1 == slots.size() ? 0 : i + 1; }

    void add(const Row& row, qint64 rowid) {
        size_t i = home(row.key);
        while (slots[i] != kEmpty)
            i = after(i);
        slots[i] = quint32(rows.size());
        if (rowidRuns.empty() || rowid != rowidAt(rows.size()))
            rowidRuns.push_back({rows.size(), rowid});
        rows.push_back(row);
    }

    qint64 rowidAt(size_t position) const {
        const auto run =
            std::prev(std::upper_bound(rowidRuns.begin(), rowidRuns.end(), position,
                                       [](size_t p, const RowidRun& r) { return p < r.position; }));
        return run->rowid + qint64(position - run->position);
    }

    static bool same(const Row& row, const ItemHash& item) {
        return row.key == item.key && row.check == item.check;
    }

    // The position of the old row of an item, marked matched: one not
    // matched before when there is one (a table may hold an item twice),
    // else one that was; nothing when the table did not hold the item.
    std::optional<size_t> match(const ItemHash& item) {
        size_t found = rows.size();
        if (next < rows.size() && same(rows[next], item) && !matched[next]) {
            found = next;
        } else {
            for (size_t i = home(item.key); slots[i] != kEmpty; i = after(i)) {
                const quint32 position = slots[i];
                if (!same(rows[position], item))
                    continue;
                if (!matched[position]) {
                    found = position;
                    break;
                }
                found = std::min<size_t>(found, position);
            }
            if (found == rows.size())
                return std::nullopt;
        }
        matched[found] = true;
        next = found + 1;
        return found;
    }

    std::vector<qint64> unmatchedRowids() const {
        std::vector<qint64> rowids;
        for (size_t i = 0; i < rows.size(); ++i)
            if (!matched[i])
                rowids.push_back(rowidAt(i));
        return rowids; // in the table's order
    }
};

TableChanges::TableChanges(const Database& db, const QString& tablename, QString current,
                           QString replacement, bool folders, ChangeRun& counts)
    : db_(db), tablename_(tablename), current_(std::move(current)),
      replacement_(std::move(replacement)), folders_(folders), counts_(counts),
      addedItem_(db.prepare("INSERT INTO " + quoteIdentifier(changes::kItemsTable) +
                            " (tablename, kind, folder, location, name, newsize, newdate) "
                            "VALUES (?1, '+', ?2, ?3, ?4, ?5, ?6)")) {
    addedItem_.bind(1, tablename_).bind(2, folders_ ? 1 : 0);
}

TableChanges::~TableChanges() = default;

void TableChanges::readPrevious(ImportProgress& progress) {
    if (previous_)
        return;
    const std::string table = quoteIdentifier(current_);
    // Counted first, the rows fit a table that never needs to grow.
    Statement count = db_.prepare("SELECT count(*) FROM " + table);
    previous_ = std::make_unique<Previous>(size_t(count.next() ? count.integer(0) : 0));
    ItemHasher hashItem;
    Statement rows = db_.prepare("SELECT rowid, parent, name, size, thedate FROM " + table +
                                 " WHERE parent IS NOT NULL ORDER BY rowid");
    rows.readRowByRow(); // a million rows are not held at once
    for (int sinceYield = 0; rows.next();) {
        const ItemHash item = hashItem(rows.utf8(1), rows.utf8(2));
        quint32 attributes = 0;
        if (!folders_) {
            const std::string_view size = rows.utf8(3), date = rows.utf8(4);
            attributes =
                attributesHash(rows.isNull(3) ? nullptr : &size, rows.isNull(4) ? nullptr : &date);
        }
        previous_->add({item.key, item.check, attributes}, rows.integer(0));
        if (++sinceYield == kRowsPerYield) {
            progress.yieldEvents(1);
            sinceYield = 0;
        }
    }
    previous_->matched.resize(previous_->rows.size());
}

void TableChanges::add(qint64 rowid, std::string_view parent, std::string_view name,
                       std::string_view size, std::string_view date) {
    const std::optional<size_t> old = previous_->match(previous_->hashNewItem(parent, name));
    if (!old) {
        const std::string_view below = PathBelowRoot(parent);
        addedItem_.bind(3, below.empty() ? std::string_view("\\") : below)
            .bind(4, name)
            .bind(5, size)
            .bind(6, date)
            .run();
        addedItem_.reset();
        ++counts_.added;
    } else if (!folders_ && previous_->rows[*old].attributes != attributesHash(&size, &date)) {
        previous_->changed.emplace_back(previous_->rowidAt(*old), rowid);
    }
}

void TableChanges::recordUnmatched() {
    const std::string items = quoteIdentifier(changes::kItemsTable);
    const std::string current = quoteIdentifier(current_);
    const std::string folder = folders_ ? "1" : "0";
    Statement changed = db_.prepare(
        "INSERT INTO " + items +
        " (tablename, kind, folder, location, name, oldsize, newsize, olddate, newdate) "
        "SELECT ?1, '~', " +
        folder + ", " + kLocationOfOld + ", o.name, o.size, n.size, o.thedate, n.thedate FROM " +
        current + " AS o, " + quoteIdentifier(replacement_) +
        " AS n WHERE o.rowid = ?2 AND n.rowid = ?3");
    changed.bind(1, tablename_);
    for (const auto& [oldRowid, newRowid] : previous_->changed) {
        changed.bind(2, oldRowid).bind(3, newRowid).run();
        changed.reset();
    }
    counts_.changed += qint64(previous_->changed.size());

    Statement removed =
        db_.prepare("INSERT INTO " + items +
                    " (tablename, kind, folder, location, name, oldsize, olddate) "
                    "SELECT ?1, '-', " +
                    folder + ", " + kLocationOfOld + ", o.name, o.size, o.thedate FROM " + current +
                    " AS o WHERE o.rowid = ?2");
    removed.bind(1, tablename_);
    const std::vector<qint64> rowids = previous_->unmatchedRowids();
    for (const qint64 rowid : rowids) {
        removed.bind(2, rowid).run();
        removed.reset();
    }
    counts_.removed += qint64(rowids.size());
}

ChangeRecorder::ChangeRecorder(const Database& db, const QString& tablename, const QString& folders,
                               const QString& newFolders, const QString& files,
                               const QString& newFiles)
    : db_(db), tablename_(tablename) {
    CreateChangeReportTables(db);
    db.execute("DELETE FROM " + quoteIdentifier(changes::kItemsTable) + " WHERE tablename = ?1",
               tablename);
    folders_.reset(new TableChanges(db, tablename, folders, newFolders, true, counts_));
    files_.reset(new TableChanges(db, tablename, files, newFiles, false, counts_));
}

ChangeRecorder::~ChangeRecorder() = default;

ChangeRun ChangeRecorder::finish(const QString& date, ImportProgress& progress) {
    for (TableChanges* table : {folders_.get(), files_.get()}) {
        table->readPrevious(progress); // a table no new row came to
        table->recordUnmatched();
    }
    counts_.date = date;
    const std::string runs = quoteIdentifier(changes::kRunsTable);
    db_.execute("INSERT INTO " + runs +
                    " (tablename, thedate, added, removed, changed) VALUES (?1, ?2, ?3, ?4, ?5)",
                tablename_, counts_.date, counts_.added, counts_.removed, counts_.changed);
    db_.execute("DELETE FROM " + runs +
                    " WHERE tablename = ?1 AND rowid NOT IN (SELECT rowid FROM " + runs +
                    " WHERE tablename = ?1 ORDER BY rowid DESC LIMIT ?2)",
                tablename_, changes::kMaxChangeRuns);
    return counts_;
}

} // namespace kestro
