#include "platform/DriveTable.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace kestro {

namespace {

const QChar kRootLetter = QLatin1Char('C');
const QString kRootFolder = QStringLiteral("/");

bool isFloppyLetter(QChar letter) {
    return letter == QLatin1Char('A') || letter == QLatin1Char('B');
}

// The upper-case letter a drive text ("d", "d:", "D:\...") begins with.
std::optional<QChar> driveLetterOf(const QString& drive) {
    if (drive.isEmpty() || drive[0].unicode() > 0x7f || !drive[0].isLetter())
        return std::nullopt;
    if (drive.size() > 1 && drive[1] != QLatin1Char(':'))
        return std::nullopt;
    return drive[0].toUpper();
}

bool needsEscape(const QByteArray& bytes, qsizetype i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    // The settings file trims its values.
    const bool trailingSpace = c == ' ' && i == bytes.size() - 1;
    return c < 0x20 || c == 0x7f || c == '\\' || trailingSpace;
}

// A folder's path as the settings file keeps it (see the class comment).
QString encodePath(const QString& path) {
    const QByteArray bytes = path.toUtf8();
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (needsEscape(bytes, i))
            out.append('\\').append(
                QByteArray::number(static_cast<unsigned char>(bytes[i]), 8).rightJustified(3, '0'));
        else
            out.append(bytes[i]);
    }
    return QString::fromUtf8(out);
}

QString decodePath(const QString& text) {
    return QString::fromUtf8(UnescapeOctal(text.toUtf8()));
}

// How often "last seen" of what is there is written down: often enough to
// tell which of two media was away longer, seldom enough that looking at the
// drives rarely writes the settings file.
constexpr qint64 kSeenPrecisionSeconds = 60;

const QString kMountPointKind = QStringLiteral("mount");
const QString kFolderKind = QStringLiteral("folder");
const QString kFloppyLetters = QStringLiteral("AB");
const QString kDiskLetters = QStringLiteral("DEFGHIJKLMNOPQRSTUVWXYZ");

// True when `a` was seen before `b`; never seen is longest ago.
bool seenBefore(const QDateTime& a, const QDateTime& b) {
    return !a.isValid() ? b.isValid() : b.isValid() && a < b;
}

bool isFloppy(const Mount& mount) {
    static const QRegularExpression floppyDevice(QStringLiteral("^/dev/fd\\d+$"));
    return mount.deviceMajor == 2 || floppyDevice.match(mount.source).hasMatch();
}

// The mounted file system that holds `folder`: the one with the longest
// mount point above it.
const Mount* mountHolding(const QString& folder, const std::vector<Mount>& mounts) {
    const Mount* holder = nullptr;
    for (const Mount& mount : mounts) {
        const bool above = mount.mountPoint == kRootFolder || folder == mount.mountPoint ||
                           folder.startsWith(mount.mountPoint + QLatin1Char('/'));
        if (above && (!holder || mount.mountPoint.size() > holder->mountPoint.size()))
            holder = &mount;
    }
    return holder;
}

// A folder on a network share is taken to be there while the share is
// mounted: looking would wait for the server.
bool folderIsThere(const QString& folder, const std::vector<Mount>& mounts) {
    const Mount* holder = mountHolding(folder, mounts);
    return (holder && IsNetworkFileSystem(holder->fileSystemType)) || QFileInfo(folder).isDir();
}

// What the drive list shows in brackets: printable, on one line.
QString printable(QString text) {
    for (QChar& c : text)
        if (!c.isPrint())
            c = QLatin1Char('?');
    return text;
}

} // namespace

QString Drive::name() const {
    return letter + QLatin1Char(':');
}

QString Drive::display() const {
    return QStringLiteral("%1: [%2]").arg(letter.toLower(), label);
}

// One letter the settings file remembers.
struct DriveTable::Remembered {
    enum class Kind { Earlier, MountPoint, Folder }; // Earlier: a line without its kind
    QString folder;
    Kind kind = Kind::Earlier;
    QDateTime lastSeen;
    bool mounted = false; // a file system is mounted on the folder now
    bool present = false;

    bool mappedFolder() const {
        return kind == Kind::Folder || (kind == Kind::Earlier && !mounted);
    }

    // "mount 2024-05-01T09:30:00.000Z /media/alice/STICK", or a line of an
    // earlier version: "/media/alice/STICK".
    static std::optional<Remembered> parse(const QString& value) {
        Remembered entry;
        QString path = value;
        if (!value.startsWith(kRootFolder)) {
            const QStringList fields = value.split(QLatin1Char(' '));
            if (fields.size() < 3 || (fields[0] != kMountPointKind && fields[0] != kFolderKind))
                return std::nullopt;
            entry.kind = fields[0] == kMountPointKind ? Kind::MountPoint : Kind::Folder;
            entry.lastSeen = QDateTime::fromString(fields[1], Qt::ISODateWithMs);
            path = value.section(QLatin1Char(' '), 2);
        }
        entry.folder = QDir::cleanPath(decodePath(path));
        if (!entry.folder.startsWith(kRootFolder))
            return std::nullopt;
        return entry;
    }

    QString text() const {
        return (kind == Kind::MountPoint ? kMountPointKind : kFolderKind) + QLatin1Char(' ') +
               lastSeen.toUTC().toString(Qt::ISODateWithMs) + QLatin1Char(' ') + encodePath(folder);
    }
};

// The letters as one look at the drives finds them.
struct DriveTable::Look {
    QDateTime now;
    std::map<QChar, Remembered> letters; // C: left out
    std::vector<Mount> mounts;           // those with a text name

    std::optional<QChar> letterRemembering(const QString& folder) const {
        for (const auto& [letter, entry] : letters)
            if (entry.folder == folder)
                return letter;
        return std::nullopt;
    }
};

DriveTable::DriveTable(IniFile settings, DriveSystem& system)
    : settings_(std::move(settings)), system_(system), clock_(QDateTime::currentDateTimeUtc) {}

DriveTable::Look DriveTable::look() {
    Look now;
    now.now = clock_();
    unlisted_.clear();
    std::set<QString> mountPoints;
    for (Mount& mount : system_.mounts()) {
        if (!mount.mountPointIsText) {
            unlisted_.push_back({mount.mountPoint, QStringLiteral("its name is not UTF-8")});
            continue;
        }
        mountPoints.insert(mount.mountPoint);
        now.mounts.push_back(std::move(mount));
    }
    for (const auto& [key, value] : settings_.entries(QString::fromLatin1(kSection))) {
        const std::optional<QChar> letter = driveLetterOf(key);
        std::optional<Remembered> entry = Remembered::parse(value);
        if (key.size() != 1 || !letter || *letter == kRootLetter || !entry)
            continue;
        entry->mounted = mountPoints.count(entry->folder) > 0;
        entry->present = entry->mounted || (entry->kind != Remembered::Kind::MountPoint &&
                                            folderIsThere(entry->folder, now.mounts));
        now.letters[*letter] = std::move(*entry);
    }

    std::vector<std::pair<QString, QString>> changed;
    for (const Mount& mount : now.mounts) {
        if (mount.mountPoint == kRootFolder || now.letterRemembering(mount.mountPoint))
            continue;
        const QChar letter = letterForNew(isFloppy(mount) ? kFloppyLetters : kDiskLetters, now);
        if (letter.isNull()) {
            unlisted_.push_back(
                {mount.mountPoint,
                 isFloppy(mount) ? QStringLiteral("no floppy disk drive letter is free")
                                 : QStringLiteral("no drive letter is free: every letter from D: "
                                                  "to Z: stands for a mounted file system")});
            continue;
        }
        now.letters[letter] = {mount.mountPoint, Remembered::Kind::MountPoint, {}, true, true};
    }
    // What is there is seen now; what has just been given a letter is written
    // down too.
    for (auto& [letter, entry] : now.letters) {
        const bool stale = !entry.lastSeen.isValid() ||
                           entry.lastSeen.secsTo(now.now) >= kSeenPrecisionSeconds ||
                           entry.kind == Remembered::Kind::Earlier;
        if (!entry.present || !stale)
            continue;
        if (entry.kind == Remembered::Kind::Earlier)
            entry.kind = entry.mounted ? Remembered::Kind::MountPoint : Remembered::Kind::Folder;
        entry.lastSeen = now.now;
        changed.emplace_back(QString(letter), entry.text());
    }
    // Should the settings file refuse the write, the same mounts get the same
    // letters again next time, as the choice depends on nothing else.
    if (!changed.empty())
        settings_.setValues(QString::fromLatin1(kSection), changed);
    return now;
}

QChar DriveTable::letterForNew(const QString& candidates, const Look& now) const {
    // The letters of what is away and of a mapped folder, seen longest ago.
    QChar away, folder;
    const auto seenLonger = [&](QChar letter, QChar than) {
        return than.isNull() ||
               seenBefore(now.letters.at(letter).lastSeen, now.letters.at(than).lastSeen);
    };
    for (const QChar letter : candidates) {
        const auto found = now.letters.find(letter);
        if (found == now.letters.end())
            return letter;
        const Remembered& entry = found->second;
        if (!entry.present && seenLonger(letter, away))
            away = letter;
        else if (entry.present && !entry.mounted && seenLonger(letter, folder))
            folder = letter;
    }
    return !away.isNull() ? away : folder;
}

bool DriveTable::remember(QChar letter, const QString& folder, bool mountPoint, const Look& now) {
    const Remembered entry{
        folder, mountPoint ? Remembered::Kind::MountPoint : Remembered::Kind::Folder, now.now};
    // A folder has one letter: one it had before is forgotten.
    const std::optional<QChar> before = now.letterRemembering(folder);
    if (before && *before != letter &&
        !settings_.removeKey(QString::fromLatin1(kSection), QString(*before)))
        return false;
    return settings_.setValue(QString::fromLatin1(kSection), QString(letter), entry.text());
}

std::map<QChar, QString> DriveTable::assignments() {
    std::map<QChar, QString> letters;
    for (const auto& [letter, entry] : look().letters)
        if (entry.present)
            letters.emplace(letter, entry.folder);
    letters[kRootLetter] = kRootFolder;
    return letters;
}

std::vector<Drive> DriveTable::letters() {
    std::vector<Drive> list{{kRootLetter, kRootFolder, DriveType::Unknown, kRootFolder, false}};
    for (const auto& [letter, entry] : look().letters)
        if (entry.present)
            list.push_back({letter, entry.folder, DriveType::Unknown,
                            printable(QFileInfo(entry.folder).fileName()), entry.mappedFolder()});
    std::sort(list.begin(), list.end(),
              [](const Drive& a, const Drive& b) { return a.letter < b.letter; });
    return list;
}

Drive DriveTable::describe(Drive drive) const {
    drive.type = system_.driveType(drive.root);
    const QString label = drive.root == kRootFolder ? QString() : system_.volumeLabel(drive.root);
    if (!label.isEmpty())
        drive.label = printable(label);
    return drive;
}

std::vector<DriveLetter> DriveTable::rememberedLetters() {
    std::vector<DriveLetter> list{{kRootLetter, kRootFolder, false, true, {}}};
    for (const auto& [letter, entry] : look().letters)
        list.push_back({letter, entry.folder, entry.mappedFolder(), entry.present, entry.lastSeen});
    std::sort(list.begin(), list.end(),
              [](const DriveLetter& a, const DriveLetter& b) { return a.letter < b.letter; });
    return list;
}

QString DriveTable::rootOf(const QString& drive) {
    const std::optional<QChar> letter = driveLetterOf(drive);
    if (!letter)
        return {};
    if (*letter == kRootLetter)
        return kRootFolder;
    const std::map<QChar, QString> letters = assignments();
    const auto found = letters.find(*letter);
    return found == letters.end() ? QString() : found->second;
}

QChar DriveTable::letterOf(const QString& root) {
    const QString folder = QDir::cleanPath(root);
    for (const auto& [letter, drive] : assignments())
        if (drive == folder)
            return letter;
    return {};
}

QString DriveTable::localPath(const QString& drivePath) {
    const QString root = rootOf(drivePath);
    if (root.isEmpty())
        return {};
    QString rest = drivePath.mid(2);
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::cleanPath(root + QLatin1Char('/') + rest);
}

QString DriveTable::mapFolder(QChar letter, const QString& folder) {
    letter = letter.toUpper();
    if (letter < QLatin1Char('A') || letter > QLatin1Char('Z'))
        return QStringLiteral("A drive letter is one of A to Z.");
    if (letter == kRootLetter)
        return QStringLiteral("C: always stands for the root folder /.");
    if (isFloppyLetter(letter))
        return QStringLiteral("A: and B: are kept for floppy disk drives.");
    if (!QDir::isAbsolutePath(folder) || !QFileInfo(folder).isDir())
        return QStringLiteral("%1 is not a folder.").arg(folder);
    const QString root = QDir::cleanPath(folder);
    const Look now = look();
    if (root == kRootFolder)
        return QStringLiteral("/ is already drive C:.");
    for (const auto& [held, entry] : now.letters) {
        if (!entry.present)
            continue;
        if (held == letter && entry.folder != root)
            return QStringLiteral("%1: already stands for %2.").arg(QString(letter), entry.folder);
        if (held != letter && entry.folder == root)
            return QStringLiteral("%1 is already drive %2:.").arg(root, QString(held));
    }
    if (!remember(letter, root, false, now))
        return QStringLiteral("The settings file %1 can't be written.").arg(settings_.path());
    return {};
}

QChar DriveTable::mapToFreeLetter(const QString& folder, QString& refusal) {
    if (!QDir::isAbsolutePath(folder) || !QFileInfo(folder).isDir()) {
        refusal = QStringLiteral("%1 is not a folder.").arg(folder);
        return {};
    }
    const QString root = QDir::cleanPath(folder);
    if (root == kRootFolder)
        return kRootLetter;
    const Look now = look();
    QChar letter = letterForNew(kDiskLetters, now);
    if (const std::optional<QChar> own = now.letterRemembering(root); own) {
        if (now.letters.at(*own).present)
            return *own;
        if (!isFloppyLetter(*own))
            letter = *own;
    }
    if (letter.isNull()) {
        refusal = QStringLiteral("No drive letter is free for %1: every letter from D: to Z: "
                                 "stands for a file system mounted now.")
                      .arg(root);
        return {};
    }
    if (!remember(letter, root, false, now)) {
        refusal = QStringLiteral("The settings file %1 can't be written.").arg(settings_.path());
        return {};
    }
    return letter;
}

bool DriveTable::unmap(QChar letter) {
    letter = letter.toUpper();
    return letter != kRootLetter &&
           settings_.removeKey(QString::fromLatin1(kSection), QString(letter));
}

int DriveTable::driveType(const QString& drive) {
    const QString root = rootOf(drive);
    return root.isEmpty() ? int(DriveType::NoRootFolder) : system_.driveType(root);
}

std::optional<DiskSpace> DriveTable::diskSpace(const QString& drive) {
    const QString root = rootOf(drive);
    return root.isEmpty() ? std::nullopt : system_.diskSpace(root);
}

std::optional<qint32> DriveTable::volumeSerial(const QString& drive) {
    const QString root = rootOf(drive);
    return root.isEmpty() ? std::nullopt : system_.volumeSerial(root);
}

bool DriveTable::setHidden(const QString& drivePath) {
    const QString file = localPath(drivePath);
    return !file.isEmpty() && system_.setHidden(file);
}

void DriveTable::eject(const QString& drive) {
    const QString root = rootOf(drive);
    if (!root.isEmpty())
        system_.eject(root);
}

} // namespace kestro
