#include "cataloguing/ListingImport.h"

#include "catalog/CatalogError.h"
#include "catalog/FolderRuns.h"
#include "catalog/NameIndex.h"
#include "catalog/RowAppender.h"
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

// One row of a volume table, converted from a listing line and handed to
// the table's appender. Each row goes to the recorders too.
class RowInserter {
public:
    RowInserter(const Database& db, const QString& table, RowRecorders recorders)
        : rows_(db, table, "parent, name, size, thedate"), recorders_(recorders) {}

    // Before the first row: the change report reads what the table held.
    void begin(ImportProgress& progress) {
        if (recorders_.changes)
            recorders_.changes->readPrevious(progress);
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
        const qint64 rowid = add(parent, name);
        if (recorders_.changes)
            recorders_.changes->add(rowid, parent, name, size_, date_);
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
        date_.clear();
        add({}, name);
        return true;
    }

    // Every row added is in the table from now on.
    void finish() { rows_.flush(); }

private:
    static std::ptrdiff_t separators(std::string_view line) {
        return std::count(line.begin(), line.end(), kSeparator);
    }

    // Adds the row of the size and date texts; gives its rowid. `parent` is
    // empty for the root row, which has neither parent nor date.
    qint64 add(std::string_view parent, std::string_view name) {
        const auto orNull = [&](std::string_view text) {
            return parent.empty() ? std::nullopt : std::optional(text);
        };
        const qint64 rowid =
            rows_.append({orNull(parent), name, std::string_view(size_), orNull(date_)});
        if (recorders_.names)
            recorders_.names->add(rowid, name);
        if (recorders_.folders && !parent.empty())
            recorders_.folders->add(rowid, parent);
        return rowid;
    }

    RowAppender rows_;
    RowRecorders recorders_;
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
                          RowRecorders recorders) {
    progress.setTitle(QStringLiteral("Catalog disk"));
    ListingReader reader(listingPath);
    reader.markComplete(); // the walk has written the whole folder listing
    RowInserter rows(db, folderTable, recorders);
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
    if (!count.aborted)
        rows.finish();
    finishImport(progress);
    return count;
}

// The listing is opened once it exists: the walk makes it.
struct FileListingImport::State {
    const Database& db;
    QString table, listingPath;
    QByteArray rootName;
    RowRecorders recorders;
    std::optional<ListingReader> reader;
    std::optional<RowInserter> rows;
    ImportCount count;
    qint64 charactersRead = 0;

    bool open(bool mustExist) {
        if (!reader && (mustExist || QFile::exists(listingPath))) {
            reader.emplace(listingPath);
            rows.emplace(db, table, recorders);
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
                                     RowRecorders recorders)
    : state_(new State{db, fileTable, listingPath, rootName.toUtf8(), recorders, {}, {}, {}, 0}) {}

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
    if (!count.aborted)
        state_->rows->finish();
    finishImport(progress);
    return count;
}

ImportCount ImportFiles(const Database& db, const QString& fileTable, const QString& listingPath,
                        const QString& rootName, ImportProgress& progress, RowRecorders recorders) {
    return FileListingImport(db, fileTable, listingPath, rootName, recorders).finish(progress);
}

} // namespace kestro
