#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>
#include <functional>

class QIcon;

namespace kestro {

class FileTypes;
class ImageStore;

// The icon cache: one bitmap per known extension in the program folder's
// "resources" folder, named after the extension's icon key ("ktxt.bmp"),
// holding the desktop's icon for that file type. It is made once, completed
// when the registry learns new extensions, and never replaced: a later start
// draws nothing but what is missing. An extension whose type has no icon in
// the theme gets no bitmap, and its files show "leaf".
//
// Failures never stop the program: a folder that cannot be made or written
// leaves the bitmaps unsaved, a bitmap that cannot be read is left out, and
// the files concerned show "leaf".
class IconCache {
public:
    // Shows a text on the splash window (and lets pending window events run).
    using SplashMessage = std::function<void(const QString&)>;

    // Works on the cache folder of `types`, keeping its set of cached icons in
    // step, and fills `images`. `splashMessage` is told what the cache is
    // doing, `splashProgress` how many file types it has been through
    // ("File types: 120 of 1,043").
    IconCache(FileTypes& types, ImageStore& images, SplashMessage splashMessage = {},
              SplashMessage splashProgress = {});

    // At start: builds the cache when its folder is missing or empty;
    // otherwise makes the bitmaps of known extensions that have none and
    // loads the whole cache into the image store. Returns the number of
    // bitmaps made.
    int RefreshIconCache();
    // Makes the bitmap of every known extension, adding each picture to the
    // image store at once and saving it. Returns the number made.
    int BuildIconCache();
    // Adds the picture of every bitmap of the cache to the image store, under
    // the bitmap's name without ".bmp", in lower case.
    void LoadIconCache();

    // A cache bitmap: `icon` at 16 x 16, drawn transparently in the centre of
    // a white 20 x 20 surface.
    static QImage CacheBitmap(const QIcon& icon);
    // The list picture of a cache bitmap: its centre 16 x 16, the white
    // surface around the icon made transparent.
    static QPixmap ListPicture(const QImage& cacheBitmap);

private:
    static QImage withoutBackground(const QImage& picture);
    // The bitmap of `extension` from the icon theme; a null image when the
    // theme has no icon for its type.
    QImage bitmapOf(const QString& extension) const;
    void tellSplash(const QString& message) const;
    void tellProgress(qsizetype done, qsizetype total) const;

    FileTypes& types_;
    ImageStore& images_;
    SplashMessage splashMessage_;
    SplashMessage splashProgress_;
};

} // namespace kestro
