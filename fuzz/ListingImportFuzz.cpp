// A listing file as the imports may find it: every line becomes a row or is
// counted as malformed, never a crash. The rows are checked against a plain
// reading of the listing format written here: the line's parent and name as
// they are, its size in kilobytes, its date without the seconds.
//
// Input: the listing, read both as a folder listing (its first line the
// volume's root line) and as a file listing of the volume "D:".

#include "FuzzSupport.h"
#include "catalog/CatalogError.h"
#include "catalog/Database.h"
#include "catalog/StoredTexts.h"
#include "cataloguing/ListingImport.h"

#include <QByteArrayView>
#include <QDate>
#include <charconv>
#include <cmath>
#include <vector>

using namespace kestro;
using namespace kestro::fuzz;

namespace {

constexpr int kYear = 2026; // two-digit years are read in 1937..2036

class NoProgress : public ImportProgress {
public:
    void setTitle(const QString&) override {}
    void setStatus(const QString&) override {}
    void setProgressRange(qint64) override {}
    void setProgressValue(qint64) override {}
    void yieldEvents(int) override {}
    bool abortRequested() const override { return false; }
};

// A catalog with an empty volume "v", made once for the whole run; each input
// works inside a transaction that is rolled back.
const Database& scratchCatalog() {
    static const Database db = [] {
        const QString path = scratchFolder() + QStringLiteral("/listing.mdb");
        writeFile(path, {});
        Database created = Database::open(path, OpenMode::SharedReadWrite);
        created.executeScript(readFile(QStringLiteral(KESTRO_SCHEMA_SCRIPT)).toStdString());
        // Its rollbacks need not survive a crash: the journal stays in memory.
        created.executeScript("PRAGMA journal_mode=MEMORY; PRAGMA synchronous=OFF;");
        created.executeScript("CREATE TABLE v_dirs AS SELECT * FROM template_dirs;"
                              "CREATE TABLE v_files AS SELECT * FROM template_files;");
        return created;
    }();
    return db;
}

// Lines end in CR LF or LF; the last one may lack its line end or keep only
// the CR of it.
std::vector<QByteArray> linesOf(const QByteArray& listing) {
    QByteArrayList pieces = listing.split('\n');
    if (pieces.last().isEmpty())
        pieces.removeLast();
    std::vector<QByteArray> lines;
    for (const QByteArray& line : pieces)
        lines.push_back(line.endsWith('\r') ? line.left(line.size() - 1) : line);
    return lines;
}

QByteArrayList fieldsOf(const QByteArray& line) {
    return line.split('\xFE');
}

// Text a catalog can hold and show: UTF-8, no NUL.
bool isStorable(const QByteArray& text) {
    return !text.isEmpty() && !text.contains('\0') && QByteArrayView(text).isValidUtf8();
}

std::optional<quint64> byteCount(const QByteArray& digits) {
    quint64 value = 0;
    const char* end = digits.constData() + digits.size();
    const auto result = std::from_chars(digits.constData(), end, value);
    if (digits.isEmpty() || result.ec != std::errc() || result.ptr != end)
        return std::nullopt;
    return value;
}

std::optional<WallClock> listingDate(const QByteArray& text) {
    if (text.size() != 19)
        return std::nullopt;
    for (int i = 0; i < 19; ++i) {
        const char wanted = QByteArrayView("0000-00-00 00:00:00")[i];
        if (wanted == '0' ? !(text[i] >= '0' && text[i] <= '9') : text[i] != wanted)
            return std::nullopt;
    }
    const WallClock c{text.mid(0, 4).toInt(),  text.mid(5, 2).toInt(),  text.mid(8, 2).toInt(),
                      text.mid(11, 2).toInt(), text.mid(14, 2).toInt(), text.mid(17, 2).toInt()};
    if (c.year < 1 || !QDate::isValid(c.year, c.month, c.day) || c.hour > 23 || c.minute > 59 ||
        c.second > 59)
        return std::nullopt;
    return c;
}

struct Row {
    std::optional<QByteArray> parent;
    QByteArray name;
    quint64 bytes = 0;
    std::optional<WallClock> date;
};

std::optional<Row> rootRow(const QByteArray& line) {
    const QByteArrayList f = fieldsOf(line);
    const auto bytes = f.size() == 2 ? byteCount(f[1]) : std::nullopt;
    if (!bytes || !isStorable(f[0]))
        return std::nullopt;
    return Row{std::nullopt, f[0], *bytes, std::nullopt};
}

std::optional<Row> itemRow(const QByteArray& line) {
    const QByteArrayList f = fieldsOf(line);
    if (f.size() != 4 || !isStorable(f[0]) || !isStorable(f[1]))
        return std::nullopt;
    const auto bytes = byteCount(f[2]);
    const auto date = listingDate(f[3]);
    if (!bytes || !date)
        return std::nullopt;
    return Row{f[0], f[1], *bytes, date};
}

bool isRootMarker(const QByteArray& line) {
    const QByteArrayList f = fieldsOf(line);
    return f.size() >= 2 && f[0] == "D:" && f[1].toLower() == "kestro.cat";
}

void checkRow(Statement& stored, const Row& expected) {
    FUZZ_CHECK(stored.next());
    FUZZ_CHECK(stored.isNull(0) == !expected.parent);
    if (expected.parent)
        FUZZ_CHECK(stored.utf8(0) == expected.parent->toStdString());
    FUZZ_CHECK(stored.utf8(1) == expected.name.toStdString());

    const QString size = stored.text(2);
    FUZZ_CHECK(size.size() >= kNumberFieldWidth);
    const double kilobytes = std::max(1.0, std::ceil(static_cast<double>(expected.bytes) / 1024.0));
    const auto readKilobytes = KilobytesOfSizeText(size);
    FUZZ_CHECK(readKilobytes && std::fabs(*readKilobytes - kilobytes) <= kilobytes * 1e-12);

    FUZZ_CHECK(stored.isNull(3) == !expected.date);
    if (expected.date) {
        const auto read = WallClockOfDateText(stored.text(3), kYear);
        FUZZ_CHECK(read);
        const WallClock& d = *expected.date;
        FUZZ_CHECK(read->year % 100 == d.year % 100 && read->month == d.month &&
                   read->day == d.day && read->hour == d.hour && read->minute == d.minute &&
                   read->second == 0);
    }
}

void checkTable(const Database& db, const char* table, const std::vector<Row>& expected) {
    Statement stored = db.prepare(std::string("SELECT parent, name, size, thedate FROM ") + table +
                                  " ORDER BY rowid");
    for (const Row& row : expected)
        checkRow(stored, row);
    FUZZ_CHECK(!stored.next());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray listing = bytesOf(data, size);
    const std::vector<QByteArray> lines = linesOf(listing);
    const QString path = scratchFolder() + QStringLiteral("/listing.txt");
    writeFile(path, listing);

    const Database& db = scratchCatalog();
    Database::Transaction transaction(db);
    NoProgress progress;

    // As a folder listing: the root line first, or the listing is refused.
    std::vector<Row> folders;
    qint64 malformedFolders = 0;
    if (const auto root = lines.empty() ? std::nullopt : rootRow(lines[0])) {
        folders.push_back(*root);
        for (size_t i = 1; i < lines.size(); ++i) {
            if (const auto row = itemRow(lines[i]))
                folders.push_back(*row);
            else
                ++malformedFolders;
        }
    }
    try {
        const ImportCount count = ImportFolders(db, "v_dirs", path, progress);
        FUZZ_CHECK(!folders.empty());
        FUZZ_CHECK(count.lines == qint32(lines.size()));
        FUZZ_CHECK(count.malformed == malformedFolders);
        FUZZ_CHECK(!count.aborted);
    } catch (const CatalogError& e) {
        FUZZ_CHECK(folders.empty());
        FUZZ_CHECK(e.message().contains(path));
    }
    checkTable(db, "v_dirs", folders);

    // As a file listing: every line a file, the root's marker left out.
    std::vector<Row> files;
    qint64 malformedFiles = 0;
    for (const QByteArray& line : lines) {
        if (isRootMarker(line))
            continue;
        if (const auto row = itemRow(line))
            files.push_back(*row);
        else
            ++malformedFiles;
    }
    const ImportCount count = ImportFiles(db, "v_files", path, QStringLiteral("D:"), progress);
    FUZZ_CHECK(count.lines == qint32(lines.size()));
    FUZZ_CHECK(count.malformed == malformedFiles);
    checkTable(db, "v_files", files);
    return 0;
}
