// The committed picture resources: every name the menu looks up must load as a picture with a
// transparent background, and a broken or blank file must not slip in through regeneration.
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <gtest/gtest.h>

namespace {

const char* const kCommandPictures[] = {
    "ImageCopy32.tif",       "MovieInfo32.tif",       "ClipToIcon32.tif",
    "AddClipToIcon32.tif",   "AddWebIcon32.tif",      "RemoveCustomIcons32.tif",
    "Icon2Image32.tif",      "Filenames32.tif",       "EmailItems32.tif",
    "CombineFiles32.tif",    "ListCompletions32.tif", "AddToAddressBook32.tif",
    "DesktopPictures32.tif", "CopyTitle32.tif",
};

QImage load(const char* name) {
    QImageReader reader(QStringLiteral(VELMORA_IMAGES_DIR "/") + QLatin1String(name));
    const QImage image = reader.read();
    EXPECT_FALSE(image.isNull()) << qPrintable(reader.errorString());
    return image;
}

// A transparent background around a drawing of more than one colour.
void expectDrawnOnTransparency(const QImage& image) {
    ASSERT_TRUE(image.hasAlphaChannel());
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QSet<QRgb> opaqueColours;
    bool transparent = false;
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb pixel = argb.pixel(x, y);
            if (qAlpha(pixel) == 255)
                opaqueColours.insert(pixel);
            transparent = transparent || qAlpha(pixel) == 0;
        }
    }
    EXPECT_TRUE(transparent);
    EXPECT_GT(opaqueColours.size(), 1);
}

TEST(PictureResources, CommandPicturesAre32PixelDrawingsOnTransparency) {
    for (const char* name : kCommandPictures) {
        SCOPED_TRACE(name);
        const QImage image = load(name);
        EXPECT_EQ(image.size(), QSize(32, 32));
        expectDrawnOnTransparency(image);
    }
}

TEST(PictureResources, StatusPictureIsSquareAndLargeEnoughForATray) {
    const QImage image = load("Velmora.tif");
    EXPECT_EQ(image.width(), image.height());
    EXPECT_GE(image.width(), 22);
    expectDrawnOnTransparency(image);
}

} // namespace
