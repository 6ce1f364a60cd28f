#include "platform/linux/MenuPictureStyle.h"
#include "platform/local/media/MenuPictures.h"

#include <QAction>
#include <QMenu>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {

int pixelsOf(const QImage& image, QRect area, QColor colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y) == colour;
    }
    return count;
}

// Qt's own style draws every icon at 16 pixels; with the menu style a 64 x 64 picture has its
// size and the other icons keep theirs.
TEST(MenuPictureStyle, PicturesAreDrawnAtTheirOwnSizeAndIconsAtTheirs) {
    platform::linuxdesk::MenuPictureStyle style;
    QMenu menu;
    menu.setStyle(&style);
    QImage red(64, 64, QImage::Format_RGB32);
    red.fill(Qt::red);
    QAction* picture = menu.addAction(QStringLiteral("Clipboard picture"));
    picture->setIcon(platform::MenuPicture(red));
    QPixmap blue(16, 16);
    blue.fill(Qt::blue);
    QAction* icon = menu.addAction(QStringLiteral("A file"));
    icon->setIcon(QIcon(blue));
    menu.resize(menu.sizeHint());
    const QImage shot = menu.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_GE(menu.actionGeometry(picture).height(), 64);
    EXPECT_EQ(pixelsOf(shot, menu.actionGeometry(picture), Qt::red), 64 * 64);
    EXPECT_EQ(pixelsOf(shot, menu.actionGeometry(icon), Qt::blue), 16 * 16);
}

// A list of pictures taller than the screen scrolls in one column instead of spreading over
// columns wider than the screen.
TEST(MenuPictureStyle, ALongListScrollsInOneColumn) {
    platform::linuxdesk::MenuPictureStyle style;
    QMenu menu;
    menu.setStyle(&style);
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(Qt::red);
    menu.addAction(QStringLiteral("photo.jpg"))->setIcon(platform::MenuPicture(picture));
    const int oneColumn = menu.sizeHint().width();
    for (int n = 0; n < 200; ++n)
        menu.addAction(QStringLiteral("photo.jpg"))->setIcon(platform::MenuPicture(picture));
    EXPECT_EQ(menu.sizeHint().width(), oneColumn);
}

// A picture waits to be read until it is drawn, and is read once.
TEST(MenuPictureStyle, WaitingPicturesAreReadOnceWhenDrawn) {
    int reads = 0;
    const QIcon icon = platform::MenuPicture(QSize(64, 64), [&reads] {
        ++reads;
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(Qt::green);
        return std::optional<QImage>(image);
    });
    const QIcon copy = icon;
    EXPECT_EQ(platform::MenuPictureSize(copy), QSize(64, 64));
    EXPECT_EQ(reads, 0);
    EXPECT_EQ(copy.pixmap(64, 64).size(), QSize(64, 48));
    EXPECT_EQ(icon.pixmap(32, 32).size(), QSize(32, 24));
    EXPECT_EQ(reads, 1);
    EXPECT_FALSE(platform::MenuPictureSize(QIcon(QPixmap(64, 64))));
}

} // namespace
