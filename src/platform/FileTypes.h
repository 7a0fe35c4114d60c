#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace kestro {

// The type description and the small-icon key of a file name, as the contents
// list, the search results and exports show them, even while the medium is
// offline.
//
// The desktop's file-type registry is the shared MIME database: its simple
// "*.ext" glob patterns are the known extensions, a type's comment is the
// description. Descriptions are always the English ones, whatever the
// desktop's language: the program's own type texts ("<unknown file>",
// "xyz file") are English, and an export reads the same everywhere.
//
// Icons live in an icon cache folder (the program folder's "resources"), one
// bitmap per extension named after its icon key: "ktxt.bmp". The set of keys
// that have a bitmap is kept in memory, so a name costs two hash lookups.
//
// The registry is read once, at construction, which sets the process's
// default locale to English for that moment: make the object at start, before
// other threads run. The const members are safe to call from any number of
// threads at once; rescanIconCache() is not, and runs while no other thread
// uses the object (at start, before the views and exports do).
class FileTypes {
public:
    // The image key of a file without a cached icon.
    static inline const QString kLeafKey = QStringLiteral("leaf");
    // Extensions longer than this are never cached.
    static constexpr qsizetype kMaxCachedExtensionLength = 4;

    // Reads the registry and the file set of `iconCacheFolder` (which may be
    // missing: then no icon is cached).
    explicit FileTypes(const QString& iconCacheFolder);

    // The type description of the name's extension (the text after its last
    // "."), looked up in lower case: "<unknown file>" without a ".", and the
    // lower-case extension + " file" for one the registry does not describe
    // ("data.xyz" -> "xyz file", "name." -> " file").
    QString FileTypeName(const QString& fileName) const;

    // The image key of the name's small icon: the icon key of its extension
    // when the cache holds a bitmap for it, else "leaf" (always without a ".").
    QString FileIconKey(const QString& fileName) const;

    // The extensions the registry knows that the cache may hold, lower case,
    // none longer than four characters, sorted.
    QStringList knownExtensions() const;

    // The registry's icon names for a known extension, best first: the type's
    // own icon, then its generic one. Empty for an unknown extension.
    QStringList iconNames(const QString& extension) const;

    // "k" + the extension in lower case without surrounding blanks: "ktxt".
    static QString IconKeyOf(QStringView extension);

    // The icon cache: its folder, the bitmap of a key in it, and the bitmap
    // files it holds now (names only).
    const QString& iconCacheFolder() const { return cacheFolder_; }
    QString iconCacheFile(const QString& iconKey) const;
    QStringList iconCacheFiles() const;
    // The icon key a bitmap file stands for: its name without ".bmp", lower case.
    static QString IconKeyOfCacheFile(const QString& fileName);

    // Whether the cache held a bitmap for `iconKey` when last read, and
    // reading it again after the cache folder changed.
    bool hasCachedIcon(const QString& iconKey) const { return cachedIconKeys_.contains(iconKey); }
    void rescanIconCache();

private:
    struct FileType {
        QString description;
        QStringList iconNames;
    };

    QString cacheFolder_;
    QHash<QString, FileType> types_; // by lower-case extension
    QSet<QString> cachedIconKeys_;
};

// The icon cache folder of a program folder.
QString IconCacheFolderOf(const QString& programFolder);

} // namespace kestro
