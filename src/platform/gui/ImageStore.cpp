#include "platform/gui/ImageStore.h"

#include "platform/FileTypes.h"
#include "platform/gui/DrawnIcons.h"

#include <utility>
#include <vector>

namespace kestro {

namespace {

// The freedesktop icon names that picture each fixed key, best first.
const std::vector<std::pair<QString, QStringList>>& themeNames() {
    static const std::vector<std::pair<QString, QStringList>> names = {
        {QStringLiteral("cd"), {QStringLiteral("media-optical"), QStringLiteral("drive-optical")}},
        {QStringLiteral("fixed"), {QStringLiteral("drive-harddisk")}},
        {QStringLiteral("closed"), {QStringLiteral("folder")}},
        {QStringLiteral("floppy"), {QStringLiteral("media-floppy")}},
        {QStringLiteral("removable"), {QStringLiteral("drive-removable-media")}},
        {QStringLiteral("zipdisk"),
         {QStringLiteral("media-zip"), QStringLiteral("media-removable")}},
        {QStringLiteral("cat_closed"), {QStringLiteral("user-bookmarks")}},
        {QStringLiteral("leaf"), {QStringLiteral("text-x-generic")}},
        {QStringLiteral("cat_open"), {QStringLiteral("user-bookmarks")}},
        {QStringLiteral("ramdisk"),
         {QStringLiteral("media-memory"), QStringLiteral("media-flash")}},
        {QStringLiteral("logo"), {QStringLiteral("x-office-address-book")}},
        {QStringLiteral("network"),
         {QStringLiteral("network-server"), QStringLiteral("network-workgroup"),
          QStringLiteral("folder-remote")}},
        {QStringLiteral("open"), {QStringLiteral("folder-open")}},
    };
    return names;
}

// The first of `names` the theme has, as fixed pictures: a theme icon would
// follow later changes of the theme, and lose its picture with it.
QIcon themePicture(const QStringList& names) {
    for (const QString& name : names) {
        const QIcon themed = QIcon::fromTheme(name);
        if (themed.isNull())
            continue;
        QIcon picture;
        for (const int side : {16, 32})
            picture.addPixmap(themed.pixmap(side, side));
        if (!picture.isNull())
            return picture;
    }
    return QIcon();
}

} // namespace

const QStringList& ImageStore::fixedKeys() {
    static const QStringList keys = [] {
        QStringList all;
        for (const auto& [key, names] : themeNames())
            all.append(key);
        return all;
    }();
    return keys;
}

ImageStore::ImageStore() {
    for (const auto& [key, names] : themeNames()) {
        QIcon picture = themePicture(names);
        icons_.insert(key, picture.isNull() ? QIcon(DrawnIcon(key)) : picture);
    }
}

QIcon ImageStore::icon(const QString& key) const {
    const auto it = icons_.constFind(key);
    return it != icons_.cend() ? *it : icons_.value(FileTypes::kLeafKey);
}

void ImageStore::add(const QString& key, const QPixmap& picture) {
    icons_.insert(key, QIcon(picture));
}

} // namespace kestro
