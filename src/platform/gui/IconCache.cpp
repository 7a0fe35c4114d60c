#include "platform/gui/IconCache.h"

#include "platform/FileTypes.h"
#include "platform/gui/ImageStore.h"

#include <QDir>
#include <QIcon>
#include <QLocale>
#include <QPainter>

namespace kestro {

namespace {

// The drawing surface of a cache bitmap and the icon drawn on it.
constexpr int kSurfaceSide = 20;
constexpr int kIconSide = 16;
constexpr const char* kBitmapFormat = "BMP";
// The splash window hears of the progress every so many file types.
constexpr qsizetype kProgressEvery = 50;

} // namespace

IconCache::IconCache(FileTypes& types, ImageStore& images, SplashMessage splashMessage,
                     SplashMessage splashProgress)
    : types_(types), images_(images), splashMessage_(std::move(splashMessage)),
      splashProgress_(std::move(splashProgress)) {}

int IconCache::RefreshIconCache() {
    const QDir folder(types_.iconCacheFolder());
    if (!folder.exists() || folder.isEmpty(QDir::Files | QDir::Hidden | QDir::System)) {
        // A folder that cannot be made leaves the bitmaps unsaved, nothing more.
        QDir().mkpath(folder.path());
        return BuildIconCache();
    }
    tellSplash(QStringLiteral("Loading resources..."));
    types_.rescanIconCache();
    int made = 0;
    const QStringList extensions = types_.knownExtensions();
    for (qsizetype i = 0; i < extensions.size(); ++i) {
        tellProgress(i, extensions.size());
        const QString& extension = extensions[i];
        const QString key = FileTypes::IconKeyOf(extension);
        if (types_.hasCachedIcon(key))
            continue;
        const QImage bitmap = bitmapOf(extension);
        if (bitmap.isNull())
            continue;
        bitmap.save(types_.iconCacheFile(key), kBitmapFormat);
        ++made;
    }
    tellProgress(extensions.size(), extensions.size());
    LoadIconCache();
    return made;
}

int IconCache::BuildIconCache() {
    tellSplash(QStringLiteral("Creating resources for the first time..."));
    int made = 0;
    const QStringList extensions = types_.knownExtensions();
    for (qsizetype i = 0; i < extensions.size(); ++i) {
        tellProgress(i, extensions.size());
        const QString& extension = extensions[i];
        const QImage bitmap = bitmapOf(extension);
        if (bitmap.isNull())
            continue;
        const QString key = FileTypes::IconKeyOf(extension);
        images_.add(key, ListPicture(bitmap));
        bitmap.save(types_.iconCacheFile(key), kBitmapFormat);
        ++made;
    }
    tellProgress(extensions.size(), extensions.size());
    types_.rescanIconCache();
    return made;
}

void IconCache::LoadIconCache() {
    types_.rescanIconCache();
    for (const QString& name : types_.iconCacheFiles()) {
        const QImage bitmap(types_.iconCacheFolder() + QLatin1Char('/') + name);
        if (!bitmap.isNull())
            images_.add(FileTypes::IconKeyOfCacheFile(name), ListPicture(bitmap));
    }
}

QImage IconCache::CacheBitmap(const QIcon& icon) {
    QImage surface(kSurfaceSide, kSurfaceSide, QImage::Format_RGB32);
    surface.fill(Qt::white);
    QPainter painter(&surface);
    const int offset = kSurfaceSide / 2 - kIconSide / 2;
    icon.paint(&painter, QRect(offset, offset, kIconSide, kIconSide));
    return surface;
}

QPixmap IconCache::ListPicture(const QImage& cacheBitmap) {
    QImage picture = cacheBitmap;
    if (cacheBitmap.width() > kIconSide || cacheBitmap.height() > kIconSide) {
        const QRect centre((cacheBitmap.width() - kIconSide) / 2,
                           (cacheBitmap.height() - kIconSide) / 2, kIconSide, kIconSide);
        picture = cacheBitmap.copy(centre.intersected(cacheBitmap.rect()));
    }
    return QPixmap::fromImage(withoutBackground(picture));
}

QImage IconCache::withoutBackground(const QImage& picture) {
    // The white drawing surface around the icon becomes transparent, so a
    // selected row shows no white square; white inside the icon (a page of
    // a document) is not reached from the edge and stays.
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb background = qRgb(255, 255, 255);
    std::vector<QPoint> pending;
    for (int x = 0; x < image.width(); ++x)
        pending.insert(pending.end(), {QPoint(x, 0), QPoint(x, image.height() - 1)});
    for (int y = 0; y < image.height(); ++y)
        pending.insert(pending.end(), {QPoint(0, y), QPoint(image.width() - 1, y)});
    while (!pending.empty()) {
        const QPoint p = pending.back();
        pending.pop_back();
        if (!image.rect().contains(p) || image.pixel(p) != background)
            continue;
        image.setPixel(p, qRgba(0, 0, 0, 0));
        pending.insert(pending.end(),
                       {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)});
    }
    return image;
}

QImage IconCache::bitmapOf(const QString& extension) const {
    for (const QString& name : types_.iconNames(extension)) {
        const QIcon icon = QIcon::fromTheme(name);
        if (!icon.isNull())
            return CacheBitmap(icon);
    }
    return QImage();
}

void IconCache::tellSplash(const QString& message) const {
    if (splashMessage_)
        splashMessage_(message);
}

void IconCache::tellProgress(qsizetype done, qsizetype total) const {
    if (!splashProgress_ || (done % kProgressEvery != 0 && done != total))
        return;
    const QLocale c = QLocale::c();
    splashProgress_(
        QStringLiteral("File types: %1 of %2").arg(c.toString(done), c.toString(total)));
}

} // namespace kestro
