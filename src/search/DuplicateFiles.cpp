#include "search/DuplicateFiles.h"

#include "catalog/Schema.h"
#include "catalog/StoredTexts.h"
#include "platform/CsvText.h"
#include "search/SearchCondition.h"
#include "search/SearchResultReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <tuple>
#include <unordered_set>

namespace kestro {

namespace {

using Column = SearchCondition::Column;

// The name and size criteria as a search puts them on rows.
SearchCondition conditionOf(const DuplicateCriteria& criteria) {
    SearchCriteria search;
    search.named = criteria.named;
    if (!criteria.atLeastKilobytes.isEmpty()) {
        search.sizeComparison = QStringLiteral("at least");
        search.sizeKilobytes = criteria.atLeastKilobytes;
    }
    return SearchCondition::fromCriteria(search);
}

// What two files must have equal to be copies, as one string: the name, the
// size text and, with `sameDate`, the date text, each as stored (compared
// byte for byte) and told apart from Null.
void appendKey(const Statement& row, bool sameDate, std::string& key) {
    key.clear();
    for (const Column column : {Column::Name, Column::Size, Column::Date}) {
        if (column == Column::Date && !sameDate)
            break;
        if (row.isNull(column)) {
            key += 'N';
            continue;
        }
        const std::string_view text = row.utf8(column);
        const quint64 length = text.size();
        key += 'T';
        key.append(reinterpret_cast<const char*>(&length), sizeof length);
        key += text;
    }
}

// The name, size and date texts a key holds (nothing for Null), in that
// order; without the date for a key made without it.
using KeyFields = std::array<std::optional<std::string_view>, 3>;
KeyFields fieldsOf(std::string_view key) {
    KeyFields fields;
    for (std::optional<std::string_view>& field : fields) {
        if (key.empty() || key.front() == 'N') {
            key.remove_prefix(std::min<size_t>(1, key.size()));
            continue;
        }
        quint64 length = 0;
        std::memcpy(&length, key.data() + 1, sizeof length);
        field = key.substr(1 + sizeof length, length);
        key.remove_prefix(1 + sizeof length + length);
    }
    return fields;
}

size_t hashOf(const std::string& key) {
    return std::hash<std::string>{}(key);
}

// Reads the files of `volumes` that meet the condition, handing each row and
// its volume's place to `take`. A volume without a files table has none.
template <typename Take>
void readFiles(const Database& db, const std::vector<CatalogVolume>& volumes,
               const SearchCondition& condition, Take take) {
    for (size_t place = 0; place < volumes.size(); ++place) {
        const QString table = schema::filesTable(volumes[place].tablename);
        if (!db.hasTable(table))
            continue;
        Statement rows = condition.select(db, table);
        while (rows.next())
            take(rows, place);
    }
}

// A file a look keeps, with its key and its key's hash, its volume's place
// in the list and its parent's place in FoundFiles::parents.
struct FoundFile {
    size_t hash = 0;
    std::string key;
    size_t place = 0;
    size_t parent = 0;
    SearchResult result;
};

// The files a look keeps. Files come folder by folder: a parent is kept
// once for the files that follow one another in it.
class FoundFiles {
public:
    FoundFiles(const std::vector<CatalogVolume>& volumes, const DuplicateCriteria& criteria)
        : volumes_(volumes), results_(criteria.europeanDates, criteria.fileTypes) {}

    std::vector<FoundFile> files;
    std::vector<std::string> parents; // as stored, to order files by

    void add(const Statement& row, size_t place, std::string key, size_t hash) {
        const std::string_view parent = row.utf8(Column::Parent);
        if (parents.empty() || parents.back() != parent)
            parents.emplace_back(parent);
        files.push_back({hash, std::move(key), place, parents.size() - 1,
                         results_.read(row, TableKind::Files, volumes_[place])});
    }

    // The files' results in the order of `order`, which indexes `files`.
    std::vector<SearchResult> resultsIn(const std::vector<size_t>& order) {
        std::vector<SearchResult> results;
        results.reserve(order.size());
        for (const size_t i : order)
            results.push_back(std::move(files[i].result));
        return results;
    }

private:
    const std::vector<CatalogVolume>& volumes_;
    SearchResultReader results_;
};

std::vector<size_t> indexes(size_t count) {
    std::vector<size_t> all(count);
    std::iota(all.begin(), all.end(), size_t(0));
    return all;
}

} // namespace

// Two readings of the files: the first finds the hashes of keys more than
// one file has; the second keeps the files with such a hash, which are
// then grouped by their exact keys. A million files take about a second,
// where a sort of every row by its key in SQL took four.
std::vector<DuplicateGroup> FindDuplicates(const Database& db, const DuplicateCriteria& criteria) {
    const SearchCondition condition = conditionOf(criteria);
    const Database::ReadTransaction reading(db);
    std::vector<size_t> hashes;
    std::string key;
    readFiles(db, criteria.volumes, condition, [&](const Statement& row, size_t) {
        appendKey(row, criteria.sameDate, key);
        hashes.push_back(hashOf(key));
    });
    // The hashes more than one file has, in order. A sorted array is read
    // far faster than a hash table of a million entries.
    std::sort(hashes.begin(), hashes.end());
    std::vector<size_t> repeated;
    for (size_t i = 1; i < hashes.size(); ++i)
        if (hashes[i] == hashes[i - 1] && (repeated.empty() || repeated.back() != hashes[i]))
            repeated.push_back(hashes[i]);
    hashes = {};
    FoundFiles found(criteria.volumes, criteria);
    readFiles(db, criteria.volumes, condition, [&](const Statement& row, size_t place) {
        appendKey(row, criteria.sameDate, key);
        const size_t hash = hashOf(key);
        if (std::binary_search(repeated.begin(), repeated.end(), hash))
            found.add(row, place, key, hash);
    });

    // Copies side by side (by hash, then key), each group's files by volume
    // and location.
    const std::vector<FoundFile>& files = found.files;
    std::vector<size_t> order = indexes(files.size());
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const FoundFile& x = files[a];
        const FoundFile& y = files[b];
        return std::tie(x.hash, x.key, x.place, found.parents[x.parent]) <
               std::tie(y.hash, y.key, y.place, found.parents[y.parent]);
    });
    struct Group {
        size_t first, end; // in `order`
        std::optional<qint64> totalKilobytes;
        KeyFields fields;
    };
    std::vector<Group> groups;
    for (size_t first = 0; first < order.size();) {
        size_t end = first + 1;
        while (end < order.size() && files[order[end]].key == files[order[first]].key)
            ++end;
        if (end - first > 1) {
            const FoundFile& file = files[order[first]];
            Group& group = groups.emplace_back(Group{first, end, std::nullopt, fieldsOf(file.key)});
            if (const auto kilobytes = KilobytesOfSizeText(QStringView(file.result.size)))
                group.totalKilobytes = qint64(*kilobytes) * qint64(end - first);
        }
        first = end;
    }
    // The largest groups first, those of unknown size last, then by name,
    // size and date.
    std::sort(groups.begin(), groups.end(), [](const Group& a, const Group& b) {
        return std::tie(b.totalKilobytes, a.fields) < std::tie(a.totalKilobytes, b.fields);
    });
    std::vector<DuplicateGroup> result;
    result.reserve(groups.size());
    for (const Group& group : groups) {
        DuplicateGroup& copies = result.emplace_back();
        copies.totalKilobytes = group.totalKilobytes;
        copies.files = found.resultsIn(std::vector<size_t>(order.begin() + qsizetype(group.first),
                                                           order.begin() + qsizetype(group.end)));
    }
    return result;
}

// Three readings: the hashes of the chosen volumes' keys; the exact keys of
// the other volumes' files that have one of those hashes; and the chosen
// files whose key is not among them.
std::vector<SearchResult> FindSingleCopies(const Database& db, const DuplicateCriteria& criteria) {
    const SearchCondition condition = conditionOf(criteria);
    const Database::ReadTransaction reading(db);
    std::vector<CatalogVolume> others;
    for (CatalogVolume& volume : ListVolumes(db))
        if (std::find(criteria.volumes.begin(), criteria.volumes.end(), volume) ==
            criteria.volumes.end())
            others.push_back(std::move(volume));

    std::unordered_set<size_t> chosenHashes;
    std::string key;
    readFiles(db, criteria.volumes, condition, [&](const Statement& row, size_t) {
        appendKey(row, criteria.sameDate, key);
        chosenHashes.insert(hashOf(key));
    });
    // Copies elsewhere pass the same condition, as they share name and size.
    std::unordered_set<std::string> keysElsewhere;
    readFiles(db, others, condition, [&](const Statement& row, size_t) {
        appendKey(row, criteria.sameDate, key);
        if (chosenHashes.count(hashOf(key)))
            keysElsewhere.insert(key);
    });
    FoundFiles found(criteria.volumes, criteria);
    readFiles(db, criteria.volumes, condition, [&](const Statement& row, size_t place) {
        appendKey(row, criteria.sameDate, key);
        if (!keysElsewhere.count(key))
            found.add(row, place, key, 0);
    });
    const std::vector<FoundFile>& files = found.files;
    std::vector<size_t> order = indexes(files.size());
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const FoundFile& x = files[a];
        const FoundFile& y = files[b];
        return std::tie(x.place, found.parents[x.parent], fieldsOf(x.key)[0]) <
               std::tie(y.place, found.parents[y.parent], fieldsOf(y.key)[0]);
    });
    return found.resultsIn(order);
}

QString DuplicateGroup::totalSizeText() const {
    return totalKilobytes ? SizeText(double(*totalKilobytes) * 1024).trimmed() : QString();
}

namespace {

QStringList fileFields(const SearchResult& file) {
    return {file.volume, file.location, file.name, file.size.trimmed(), file.modified};
}

const QStringList kFileTitles{QStringLiteral("Volume"), QStringLiteral("Location"),
                              QStringLiteral("Name"), QStringLiteral("Size"),
                              QStringLiteral("Modified")};

} // namespace

QByteArray DuplicatesCsv(const std::vector<DuplicateGroup>& groups) {
    QByteArray out;
    AppendCsvLine(QStringList{QStringLiteral("Group"), QStringLiteral("Copies"),
                              QStringLiteral("Total size")} +
                      kFileTitles,
                  out);
    int number = 0;
    for (const DuplicateGroup& group : groups) {
        const QStringList fields{QString::number(++number), QString::number(group.count()),
                                 group.totalSizeText()};
        for (const SearchResult& file : group.files)
            AppendCsvLine(fields + fileFields(file), out);
    }
    return out;
}

QByteArray SingleCopiesCsv(const std::vector<SearchResult>& files) {
    QByteArray out;
    AppendCsvLine(kFileTitles, out);
    for (const SearchResult& file : files)
        AppendCsvLine(fileFields(file), out);
    return out;
}

} // namespace kestro
