#include "platform/gui/ImageStore.h"

#include "platform/gui/DrawnIcons.h"
#include "platform/gui/IconTheme.h"
#include "support/GuiApplication.h"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <gtest/gtest.h>

using kestro::DrawnIcon;
using kestro::ImageStore;

namespace {

QImage pictureOf(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Whether a picture shows anything: some pixel that is neither transparent
// nor plain white.
bool showsSomething(const QImage& picture) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            if (pixel.alpha() > 0 && pixel != QColor(Qt::white))
                return true;
        }
    return false;
}

class ImageStoreTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        kestro::test::ensureGuiApplication();
        kestro::UseDesktopIconTheme();
    }
};

} // namespace

TEST_F(ImageStoreTest, FixedKeysComeFromTheDesktopTheme) {
    ASSERT_TRUE(QIcon::hasThemeIcon("drive-harddisk")) << "the Adwaita theme is not reachable";
    const ImageStore store;
    ASSERT_EQ(ImageStore::fixedKeys().size(), 13);
    for (const QString& key : ImageStore::fixedKeys()) {
        EXPECT_TRUE(store.contains(key)) << key.toStdString();
        EXPECT_TRUE(showsSomething(pictureOf(store.icon(key)))) << key.toStdString();
    }
    EXPECT_NE(pictureOf(store.icon("fixed")), DrawnIcon("fixed").toImage());
}

TEST_F(ImageStoreTest, WithoutAnyThemeEveryFixedKeyIsDrawnAPictureOfItsOwn) {
    const QStringList searchPaths = QIcon::themeSearchPaths();
    QIcon::setThemeSearchPaths({});
    const ImageStore store;
    QIcon::setThemeSearchPaths(searchPaths);
    QList<QImage> seen;
    for (const QString& key : ImageStore::fixedKeys()) {
        const QImage drawn = DrawnIcon(key).toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(drawn.size(), QSize(16, 16)) << key.toStdString();
        EXPECT_TRUE(showsSomething(drawn)) << key.toStdString();
        EXPECT_FALSE(seen.contains(drawn)) << key.toStdString() << " looks like another key";
        seen.append(drawn);
        EXPECT_EQ(pictureOf(store.icon(key)), drawn) << key.toStdString();
    }
    EXPECT_TRUE(DrawnIcon("ktxt").isNull());
}
