#include "platform/FileTypes.h"

#include "platform/ProgramFolder.h"

#include <QDir>
#include <QLocale>
#include <QMimeDatabase>
#include <algorithm>
#include <optional>

namespace kestro {

namespace {

const QString kUnknownFileType = QStringLiteral("<unknown file>");
const QString kCacheSuffix = QStringLiteral(".bmp");

// The extension a glob pattern names when it is a plain "*.ext": not
// "*.tar.gz" (an extension never holds a "."), "*.[1-9]" or "README*".
std::optional<QString> simpleGlobExtension(const QString& glob) {
    if (!glob.startsWith(QLatin1String("*.")) || glob.size() < 3)
        return std::nullopt;
    const QStringView rest = QStringView(glob).mid(2);
    for (const QChar c : rest)
        if (c == u'.' || c == u'*' || c == u'?' || c == u'[' || c == u']')
            return std::nullopt;
    return rest.toString().toLower();
}

// The MIME database gives its comments in the default locale's language;
// this sets English for as long as it lives.
class EnglishDescriptions {
public:
    EnglishDescriptions() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    ~EnglishDescriptions() { QLocale::setDefault(saved_); }
    EnglishDescriptions(const EnglishDescriptions&) = delete;
    EnglishDescriptions& operator=(const EnglishDescriptions&) = delete;

private:
    QLocale saved_;
};

// Where the text after the last "." of a name begins; -1 without a ".".
qsizetype extensionStart(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? -1 : dot + 1;
}

} // namespace

FileTypes::FileTypes(const QString& iconCacheFolder) : cacheFolder_(iconCacheFolder) {
    QMimeDatabase registry;
    QSet<QString> extensions;
    for (const QMimeType& type : registry.allMimeTypes())
        for (const QString& glob : type.globPatterns())
            if (const auto extension = simpleGlobExtension(glob))
                extensions.insert(*extension);

    const EnglishDescriptions english;
    for (const QString& extension : std::as_const(extensions)) {
        // Where several types list an extension, the registry's own choice
        // (glob weights) decides.
        const QMimeType type = registry.mimeTypeForFile(QStringLiteral("x.") + extension,
                                                        QMimeDatabase::MatchExtension);
        if (type.isDefault())
            continue;
        FileType& entry = types_[extension];
        entry.description = type.comment().trimmed();
        for (const QString& name : {type.iconName(), type.genericIconName()})
            if (!name.isEmpty() && !entry.iconNames.contains(name))
                entry.iconNames.append(name);
    }
    rescanIconCache();
}

QString FileTypes::FileTypeName(const QString& fileName) const {
    const qsizetype start = extensionStart(fileName);
    if (start < 0)
        return kUnknownFileType;
    QString extension = fileName.mid(start).toLower();
    const auto it = types_.constFind(extension);
    if (it != types_.cend() && !it->description.isEmpty())
        return it->description;
    return extension + QLatin1String(" file");
}

QString FileTypes::FileIconKey(const QString& fileName) const {
    const qsizetype start = extensionStart(fileName);
    if (start < 0)
        return kLeafKey;
    QString key = IconKeyOf(QStringView(fileName).mid(start));
    return hasCachedIcon(key) ? key : kLeafKey;
}

QStringList FileTypes::knownExtensions() const {
    QStringList extensions;
    for (auto it = types_.cbegin(); it != types_.cend(); ++it)
        if (it.key().size() <= kMaxCachedExtensionLength)
            extensions.append(it.key());
    std::sort(extensions.begin(), extensions.end());
    return extensions;
}

QStringList FileTypes::iconNames(const QString& extension) const {
    return types_.value(extension).iconNames;
}

QString FileTypes::IconKeyOf(QStringView extension) {
    return QLatin1Char('k') + extension.trimmed().toString().toLower();
}

QString FileTypes::iconCacheFile(const QString& iconKey) const {
    return ProgramFolder::file(cacheFolder_, iconKey + kCacheSuffix);
}

QStringList FileTypes::iconCacheFiles() const {
    return QDir(cacheFolder_)
        .entryList({QLatin1Char('*') + kCacheSuffix}, QDir::Files | QDir::Hidden, QDir::Name);
}

QString FileTypes::IconKeyOfCacheFile(const QString& fileName) {
    return fileName.chopped(kCacheSuffix.size()).toLower();
}

void FileTypes::rescanIconCache() {
    cachedIconKeys_.clear();
    for (const QString& name : iconCacheFiles())
        cachedIconKeys_.insert(IconKeyOfCacheFile(name));
}

QString IconCacheFolderOf(const QString& programFolder) {
    return ProgramFolder::file(programFolder, QStringLiteral("resources"));
}

} // namespace kestro
