// The application icon as the build drew it for the icon theme.

#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>

namespace {

const QString kThemeFolder = QStringLiteral(KESTRO_ICON_THEME_DIR);

} // namespace

TEST(AppIcon, IsDrawnForEveryThemeSizeOnATransparentGround) {
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QString path = kThemeFolder + QStringLiteral("/%1x%1/apps/kestro.png").arg(size);
        const QImage icon(path);
        ASSERT_FALSE(icon.isNull()) << path.toStdString();
        EXPECT_EQ(icon.size(), QSize(size, size));
        ASSERT_TRUE(icon.hasAlphaChannel());

        // The picture stands free: the corners show the desktop behind it,
        // the middle is covered, and a good part of the square is drawn on.
        for (QPoint corner : {QPoint(0, 0), QPoint(size - 1, 0)})
            EXPECT_EQ(icon.pixelColor(corner).alpha(), 0);
        EXPECT_EQ(icon.pixelColor(size / 2, size * 3 / 4).alpha(), 255);
        int covered = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                covered += icon.pixelColor(x, y).alpha() >= 128;
        const double share = double(covered) / (size * size);
        EXPECT_GT(share, 0.4);
        EXPECT_LT(share, 0.9);
    }
}
