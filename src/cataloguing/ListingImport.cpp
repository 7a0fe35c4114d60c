#include "cataloguing/ListingImport.h"

#include "catalog/CatalogError.h"
#include "catalog/NameIndex.h"
#include "catalog/StoredTexts.h"
#include "cataloguing/ChangeRecording.h"
#include "cataloguing/VolumeIdentity.h"

#include <QByteArrayView>
#include <QFile>
#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>

namespace kestro {

namespace {

constexpr char kSeparator = '\xFE';
constexpr qint64 kReadBlock = 1 << 20;
constexpr int kLinesPerYield = 11;

// Reads a listing file line by line in large blocks; a line is handed out
// without its CR LF. A listing still being written may be read as it grows:
// until markComplete(), a last line that lacks its line end waits for the
// rest; after it, such a line is the last.
class ListingReader {
public:
    explicit ListingReader(const QString& path) : file_(path) {
        if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            throw CatalogError(QStringLiteral("The listing \"%1\" cannot be read: %2")
                                   .arg(path, file_.errorString()));
    }

    qint64 size() const { return file_.size(); }
    void markComplete() { complete_ = true; }

    // The next line, or false at the end of what has been written.
    bool next(std::string_view& line) {
        for (;;) {
            const char* start = buffer_.data() + pos_;
            if (const void* nl = std::memchr(start, '\n', end_ - pos_)) {
                size_t length = size_t(static_cast<const char*>(nl) - start);
                pos_ += length + 1;
                if (length > 0 && start[length - 1] == '\r')
                    --length;
                line = std::string_view(start, length);
                return true;
            }
            if (!refill()) {
                if (pos_ == end_ || !complete_)
                    return false;
                size_t length = end_ - pos_;
                if (buffer_[end_ - 1] == '\r')
                    --length; // what is left of a line end cut short
                line = std::string_view(buffer_.data() + pos_, length);
                pos_ = end_;
                return true;
            }
        }
    }

private:
    // Keeps the unread rest, moved to the front, and reads more after it;
    // false when nothing more has been written.
    bool refill() {
        std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
        if (end_ == buffer_.size()) // a line longer than the buffer
            buffer_.resize(buffer_.size() * 2);
        const qint64 got = file_.read(buffer_.data() + end_, qint64(buffer_.size() - end_));
        if (got < 0)
            throw CatalogError(QStringLiteral("The listing \"%1\" could not be read to its end: %2")
                                   .arg(file_.fileName(), file_.errorString()));
        end_ += size_t(got);
        return got > 0;
    }

    QFile file_;
    std::string buffer_ = std::string(size_t(kReadBlock), '\0');
    size_t pos_ = 0, end_ = 0; // the unread part of the buffer
    bool complete_ = false;
};

std::optional<quint64> byteCount(std::string_view digits) {
    quint64 value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

// A parent path or a name the catalog can hold and show: the listing writer
// writes UTF-8 and a name never holds NUL, so anything else is no listing of
// ours.
bool isStorableText(std::string_view text) {
    return !text.empty() && text.find('\0') == std::string_view::npos &&
           QByteArrayView(text.data(), qsizetype(text.size())).isValidUtf8();
}

bool isMarkerName(std::string_view name) {
    const std::string_view marker = kMarkerFileName;
    if (name.size() != marker.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) !=
            std::tolower(static_cast<unsigned char>(marker[i])))
            return false;
    return true;
}

// One row of a volume table, converted from a listing line, bound to the
// insert statement from buffers that live until the row is stepped. Each
// item row goes to the name index and the change report too, when given.
class RowInserter {
public:
    RowInserter(const Database& db, const QString& table, NameIndexWriter* names,
                TableChanges* changes)
        : db_(db), insert_(db.prepare("INSERT INTO " + quoteIdentifier(table) +
                                      " (parent, name, size, thedate) VALUES (?1, ?2, ?3, ?4)")),
          names_(names), changes_(changes) {}

    // Before the first row: the change report reads what the table held.
    void begin(ImportProgress& progress) {
        if (changes_)
            changes_->readPrevious(progress);
    }

    // A folder or file line: parent, name, size in bytes, date. False when
    // the line breaks the format.
    bool addItem(std::string_view line) {
        const std::string_view parent = ListingField(1, line), name = ListingField(2, line);
        const auto bytes = byteCount(ListingField(3, line));
        if (separators(line) != 3 || !isStorableText(parent) || !isStorableText(name) || !bytes)
            return false;
        size_.clear();
        date_.clear();
        appendSizeText(*bytes, size_);
        if (!appendDateTextFromListing(ListingField(4, line), date_))
            return false;
        insert_.bind(1, parent)
            .bind(2, name)
            .bind(3, std::string_view(size_))
            .bind(4, std::string_view(date_));
        const qint64 rowid = step(name);
        if (changes_)
            changes_->add(rowid, parent, name, size_, date_);
        return true;
    }

    // The root line: root name and size; no parent, no date.
    bool addRoot(std::string_view line) {
        const std::string_view name = ListingField(1, line);
        const auto bytes = byteCount(ListingField(2, line));
        if (separators(line) != 1 || !isStorableText(name) || !bytes)
            return false;
        size_.clear();
        appendSizeText(*bytes, size_);
        insert_.bindNull(1).bind(2, name).bind(3, std::string_view(size_)).bindNull(4);
        step(name);
        return true;
    }

private:
    static std::ptrdiff_t separators(std::string_view line) {
        return std::count(line.begin(), line.end(), kSeparator);
    }

    // Inserts the bound row; its rowid when anyone needs it.
    qint64 step(std::string_view name) {
        insert_.run();
        insert_.reset();
        if (!names_ && !changes_)
            return 0;
        const qint64 rowid = db_.lastInsertRowid();
        if (names_)
            names_->add(rowid, name);
        return rowid;
    }

    const Database& db_;
    Statement insert_;
    NameIndexWriter* names_;
    TableChanges* changes_;
    std::string size_, date_;
};

// The part the imports share: read every line there is (the first one
// aside), yield after every 11th, follow the progress by characters read;
// stop after `maxLines` lines when given.
template <typename AddLine>
void importLines(ListingReader& reader, ImportProgress& progress, qint64& charactersRead,
                 ImportCount& count, AddLine addLine, qint64 maxLines = -1) {
    int linesSinceYield = 0;
    std::string_view line;
    while (maxLines-- != 0 && !progress.abortRequested() && reader.next(line)) {
        ++count.lines;
        charactersRead += qint64(line.size()) + 2;
        if (++linesSinceYield >= kLinesPerYield) {
            progress.setProgressValue(charactersRead);
            progress.yieldEvents(1);
            linesSinceYield = 0;
        }
        if (!addLine(line))
            ++count.malformed;
    }
    count.aborted = progress.abortRequested();
}

void finishImport(ImportProgress& progress) {
    progress.setStatus(QStringLiteral("<idle>"));
    progress.yieldEvents(10);
}

} // namespace

std::string_view ListingField(int n, std::string_view line) {
    if (n < 1)
        return {};
    size_t start = 0;
    for (int field = 1; field < n; ++field) {
        const size_t separator = line.find(kSeparator, start);
        if (separator == std::string_view::npos)
            return {};
        start = separator + 1;
    }
    const size_t end = line.find(kSeparator, start);
    return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

ImportCount ImportFolders(const Database& db, const QString& folderTable,
                          const QString& listingPath, ImportProgress& progress,
                          NameIndexWriter* names, TableChanges* changes) {
    progress.setTitle(QStringLiteral("Catalog disk"));
    ListingReader reader(listingPath);
    reader.markComplete(); // the walk has written the whole folder listing
    RowInserter rows(db, folderTable, names, changes);
    ImportCount count;
    std::string_view first;
    // Without its root row a volume cannot be shown; such a listing is refused.
    if (!reader.next(first) || !rows.addRoot(first))
        throw CatalogError(
            QStringLiteral("The folder listing \"%1\" does not begin with the volume's root line.")
                .arg(listingPath));
    count.lines = 1;
    progress.setProgressRange(reader.size());
    progress.setProgressValue(0);
    progress.setStatus(QStringLiteral("Importing Directories..."));
    progress.yieldEvents(10);
    rows.begin(progress);
    qint64 charactersRead = qint64(first.size());
    importLines(reader, progress, charactersRead, count,
                [&](std::string_view line) { return rows.addItem(line); });
    finishImport(progress);
    return count;
}

// The listing is opened once it exists: the walk makes it.
struct FileListingImport::State {
    const Database& db;
    QString table, listingPath;
    QByteArray rootName;
    NameIndexWriter* names;
    TableChanges* changes;
    std::optional<ListingReader> reader;
    std::optional<RowInserter> rows;
    ImportCount count;
    qint64 charactersRead = 0;

    bool open(bool mustExist) {
        if (!reader && (mustExist || QFile::exists(listingPath))) {
            reader.emplace(listingPath);
            rows.emplace(db, table, names, changes);
        }
        return reader.has_value();
    }

    void readLines(ImportProgress& progress, qint64 maxLines) {
        const std::string_view root(rootName.constData(), size_t(rootName.size()));
        rows->begin(progress);
        importLines(
            *reader, progress, charactersRead, count,
            [&](std::string_view line) {
                // The volume's marker belongs to the program, not to the user's files.
                if (ListingField(1, line) == root && isMarkerName(ListingField(2, line)))
                    return true;
                return rows->addItem(line);
            },
            maxLines);
    }
};

FileListingImport::FileListingImport(const Database& db, const QString& fileTable,
                                     const QString& listingPath, const QString& rootName,
                                     NameIndexWriter* names, TableChanges* changes)
    : state_(
          new State{db, fileTable, listingPath, rootName.toUtf8(), names, changes, {}, {}, {}, 0}) {
}

FileListingImport::~FileListingImport() = default;

qint64 FileListingImport::importWritten(ImportProgress& progress, qint64 maxLines) {
    if (!state_->open(false))
        return 0;
    const qint32 before = state_->count.lines;
    state_->readLines(progress, maxLines);
    return state_->count.lines - before;
}

ImportCount FileListingImport::finish(ImportProgress& progress) {
    ImportCount& count = state_->count;
    if (progress.abortRequested()) {
        count.aborted = true;
        return count;
    }
    progress.setTitle(QStringLiteral("Catalog disk"));
    state_->open(true);
    state_->reader->markComplete();
    progress.setProgressRange(state_->reader->size());
    progress.setProgressValue(state_->charactersRead);
    progress.setStatus(QStringLiteral("Importing Files..."));
    progress.yieldEvents(10);
    state_->readLines(progress, -1);
    finishImport(progress);
    return count;
}

ImportCount ImportFiles(const Database& db, const QString& fileTable, const QString& listingPath,
                        const QString& rootName, ImportProgress& progress, NameIndexWriter* names) {
    return FileListingImport(db, fileTable, listingPath, rootName, names).finish(progress);
}

} // namespace kestro
