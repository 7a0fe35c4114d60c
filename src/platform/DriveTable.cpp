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

bool isFloppy(const Mount& mount) {
    static const QRegularExpression floppyDevice(QStringLiteral("^/dev/fd\\d+$"));
    return mount.deviceMajor == 2 || floppyDevice.match(mount.source).hasMatch();
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

DriveTable::DriveTable(IniFile settings, DriveSystem& system)
    : settings_(std::move(settings)), system_(system) {}

std::map<QChar, QString> DriveTable::remembered() const {
    std::map<QChar, QString> letters;
    for (const auto& [key, value] : settings_.entries(QString::fromLatin1(kSection))) {
        const std::optional<QChar> letter = driveLetterOf(key);
        const QString root = QDir::cleanPath(decodePath(value));
        if (key.size() == 1 && letter && *letter != kRootLetter && root.startsWith(kRootFolder))
            letters.emplace(*letter, root);
    }
    return letters;
}

std::map<QChar, QString> DriveTable::assignments() {
    unlisted_.clear();
    std::map<QChar, QString> letters = remembered();
    mountPoints_.clear();
    std::vector<Mount> newMounts;
    for (const Mount& mount : system_.mounts()) {
        if (!mount.mountPointIsText) {
            unlisted_.push_back({mount.mountPoint, QStringLiteral("its name is not UTF-8")});
            continue;
        }
        mountPoints_.insert(mount.mountPoint);
        const bool known = std::any_of(letters.begin(), letters.end(),
                                       [&](const auto& l) { return l.second == mount.mountPoint; });
        if (mount.mountPoint != kRootFolder && !known)
            newMounts.push_back(mount);
    }
    const auto isThere = [&](const QString& root) {
        return mountPoints_.count(root) > 0 || QFileInfo(root).isDir();
    };

    std::vector<std::pair<QString, QString>> newLetters;
    for (const Mount& mount : newMounts) {
        const QString candidates =
            isFloppy(mount) ? QStringLiteral("AB") : QStringLiteral("DEFGHIJKLMNOPQRSTUVWXYZ");
        auto free = std::find_if(candidates.begin(), candidates.end(),
                                 [&](QChar c) { return letters.count(c) == 0; });
        // With every letter taken, one whose medium is away is given up.
        if (free == candidates.end())
            free = std::find_if(candidates.begin(), candidates.end(),
                                [&](QChar c) { return !isThere(letters[c]); });
        if (free == candidates.end()) {
            unlisted_.push_back({mount.mountPoint, QStringLiteral("no drive letter is free")});
            continue;
        }
        letters[*free] = mount.mountPoint;
        newLetters.emplace_back(QString(*free), encodePath(mount.mountPoint));
    }
    // Should the settings file refuse the write, the same mounts get the same
    // letters again next time, as the assignment depends on nothing else.
    if (!newLetters.empty())
        settings_.setValues(QString::fromLatin1(kSection), newLetters);

    std::erase_if(letters, [&](const auto& l) { return !isThere(l.second); });
    letters[kRootLetter] = kRootFolder;
    return letters;
}

std::vector<Drive> DriveTable::drives() {
    std::vector<Drive> list = letters();
    for (Drive& drive : list)
        drive = describe(std::move(drive));
    return list;
}

std::vector<Drive> DriveTable::letters() {
    std::vector<Drive> list;
    for (const auto& [letter, root] : assignments()) {
        const QString folderName = root == kRootFolder ? root : QFileInfo(root).fileName();
        list.push_back({letter, root, DriveType::Unknown, printable(folderName),
                        root != kRootFolder && mountPoints_.count(root) == 0});
    }
    return list;
}

Drive DriveTable::describe(Drive drive) const {
    drive.type = system_.driveType(drive.root);
    const QString label = drive.root == kRootFolder ? QString() : system_.volumeLabel(drive.root);
    if (!label.isEmpty())
        drive.label = printable(label);
    return drive;
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
    for (const auto& [held, drive] : assignments()) {
        if (held == letter && drive != root)
            return QStringLiteral("%1: already stands for %2.").arg(QString(letter), drive);
        if (held != letter && drive == root)
            return QStringLiteral("%1 is already drive %2:.").arg(root, QString(held));
    }
    if (!settings_.setValue(QString::fromLatin1(kSection), QString(letter), encodePath(root)))
        return QStringLiteral("The settings file %1 can't be written.").arg(settings_.path());
    return {};
}

QChar DriveTable::mapToFreeLetter(const QString& folder, QString& refusal) {
    const QString root = QDir::cleanPath(folder);
    if (const QChar held = letterOf(root); !held.isNull())
        return held;
    const std::map<QChar, QString> present = assignments();
    const std::map<QChar, QString> kept = remembered();
    for (char c = 'D'; c <= 'Z'; ++c) {
        const QChar letter = QLatin1Char(c);
        if (present.count(letter) > 0 || kept.count(letter) > 0)
            continue;
        refusal = mapFolder(letter, root);
        return refusal.isEmpty() ? letter : QChar();
    }
    refusal = QStringLiteral("No drive letter is free for %1.").arg(root);
    return {};
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
