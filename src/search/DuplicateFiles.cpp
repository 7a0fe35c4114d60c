#include "search/DuplicateFiles.h"

#include "catalog/DisplayRules.h"
#include "catalog/Schema.h"
#include "catalog/StoredTexts.h"
#include "platform/CsvText.h"
#include "search/SearchCondition.h"

#include <algorithm>

namespace kestro {

namespace {

// The columns of the rows both looks read, after any they put first.
enum Column { Volume, Parent, Name, Size, Date };

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

// The files of the volumes that meet the condition, as one table of the
// columns above, the volume given by its place in `volumes`. A volume whose
// files table is missing has no files.
struct FileUnion {
    std::string sql; // empty when no volume has a files table
    int tables = 0;

    FileUnion(const Database& db, const std::vector<CatalogVolume>& volumes,
              const SearchCondition& condition) {
        for (size_t i = 0; i < volumes.size(); ++i) {
            const QString table = schema::filesTable(volumes[i].tablename);
            if (!db.hasTable(table))
                continue;
            if (tables++ > 0)
                sql += " UNION ALL ";
            sql += "SELECT " + std::to_string(i) + " AS volume, parent, name, size, thedate FROM " +
                   quoteIdentifier(table) +
                   (condition.isEmpty() ? "" : " WHERE " + condition.sql());
        }
    }

    // Binds the condition's values once for every table, from parameter
    // `next` on, which it leaves at the parameter after them.
    void bind(Statement& statement, int& next, const SearchCondition& condition) const {
        for (int t = 0; t < tables; ++t)
            for (const SqlValue& value : condition.values())
                statement.bind(next++, value);
    }
};

// The columns two files must have equal to be copies.
std::string keyOf(const DuplicateCriteria& criteria) {
    return criteria.sameDate ? "name, size, thedate" : "name, size";
}

QString textOf(const Statement& row, int column) {
    return row.isNull(column) ? QString() : row.text(column);
}

SearchResult resultOf(const Statement& row, int firstColumn,
                      const std::vector<CatalogVolume>& volumes, bool europeanDates) {
    const CatalogVolume& volume = volumes.at(size_t(row.integer(firstColumn + Volume)));
    SearchResult result;
    result.volume = volume.name;
    result.tablename = volume.tablename;
    result.location = textOf(row, firstColumn + Parent);
    result.name = textOf(row, firstColumn + Name);
    result.size = textOf(row, firstColumn + Size);
    result.date = textOf(row, firstColumn + Date);
    result.modified = DisplayDateText(result.date, europeanDates);
    return result;
}

} // namespace

std::vector<DuplicateGroup> FindDuplicates(const Database& db, const DuplicateCriteria& criteria) {
    const SearchCondition condition = conditionOf(criteria);
    const FileUnion files(db, criteria.volumes, condition);
    if (files.tables == 0)
        return {};
    const std::string key = keyOf(criteria);
    // Each file with the number of files of its key; the group's total is
    // read from one size text, as the key holds all of them equal.
    Statement rows = db.prepare(
        "SELECT copies, copies * kestro_kb(size), volume, parent, name, size, thedate FROM "
        "(SELECT *, count(*) OVER (PARTITION BY " +
        key + ") AS copies FROM (" + files.sql +
        ")) WHERE copies > 1 ORDER BY copies * kestro_kb(size) DESC, " + key + ", volume, parent");
    int parameter = 1;
    files.bind(rows, parameter, condition);

    std::vector<DuplicateGroup> groups;
    const Database::ReadTransaction reading(db);
    qint64 left = 0; // files of the current group still to come
    while (rows.next()) {
        if (left == 0) {
            left = rows.integer(0);
            DuplicateGroup& group = groups.emplace_back();
            if (!rows.isNull(1))
                group.totalKilobytes = rows.integer(1);
            group.files.reserve(size_t(left));
        }
        groups.back().files.push_back(resultOf(rows, 2, criteria.volumes, criteria.europeanDates));
        --left;
    }
    return groups;
}

std::vector<SearchResult> FindSingleCopies(const Database& db, const DuplicateCriteria& criteria) {
    const SearchCondition condition = conditionOf(criteria);
    const FileUnion files(db, criteria.volumes, condition);
    if (files.tables == 0)
        return {};
    // The chosen volumes first, then the others: a file is chosen when its
    // volume's place comes before the others'.
    std::vector<CatalogVolume> volumes = criteria.volumes;
    for (CatalogVolume& volume : ListVolumes(db))
        if (std::find(criteria.volumes.begin(), criteria.volumes.end(), volume) ==
            criteria.volumes.end())
            volumes.push_back(std::move(volume));
    // Copies elsewhere pass the same condition, as they share name and size.
    const FileUnion all(db, volumes, condition);
    const std::string chosen = "volume < " + std::to_string(criteria.volumes.size());
    Statement rows =
        db.prepare("SELECT volume, parent, name, size, thedate FROM (SELECT *, max(NOT (" + chosen +
                   ")) OVER (PARTITION BY " + keyOf(criteria) + ") AS elsewhere FROM (" + all.sql +
                   ")) WHERE " + chosen + " AND NOT elsewhere ORDER BY volume, parent, name");
    int parameter = 1;
    all.bind(rows, parameter, condition);

    std::vector<SearchResult> singles;
    const Database::ReadTransaction reading(db);
    while (rows.next())
        singles.push_back(resultOf(rows, 0, volumes, criteria.europeanDates));
    return singles;
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
