#pragma once

#include <QHash>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

namespace kestro {

// The program's pictures by key, for the catalog tree, the contents list and
// the search results: the fixed pictures of drives, folders, categories, the
// catalog and plain files, and the file-type icons of the icon cache ("ktxt").
// One store serves every window; it is used on the interface thread only.
class ImageStore {
public:
    // The keys every store answers from the start.
    static const QStringList& fixedKeys();

    // Takes the fixed pictures from the current icon theme, drawn ones where
    // the theme has none (UseDesktopIconTheme() sets the theme up first).
    ImageStore();

    // The picture of `key`; the plain-file picture "leaf" for a key the store
    // does not hold.
    QIcon icon(const QString& key) const;
    bool contains(const QString& key) const { return icons_.contains(key); }
    // Adds or replaces the picture of `key`.
    void add(const QString& key, const QPixmap& picture);

private:
    QHash<QString, QIcon> icons_;
};

} // namespace kestro
