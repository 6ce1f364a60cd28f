// Pictures and poster frames to the clipboard, on real files of a world's root.
#include "commands/media/ImageCopy.h"
#include "platform/local/files/Files.h"
#include "platform/local/media/Movies.h"
#include "platform/services/Pasteboard.h"
#include "platform/world/World.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/QtPrinters.h"

#include <QImage>
#include <QImageWriter>
#include <gtest/gtest.h>

namespace {

class ImageCopyTest : public ::testing::Test {
protected:
    ImageCopyTest() { EnterMovies(); }
    ~ImageCopyTest() override { ExitMovies(); }

    QString path(const QString& name) const { return m_world.root() + u'/' + name; }
    bool copy(const QString& name) {
        FSRef ref;
        return FSPathMakeRef(QFile::encodeName(path(name)), &ref) == noErr &&
               DoImageCopy(&ref, QStringLiteral("png"), kUTTypePNG);
    }
    // The clipboard's one PNG, decoded.
    QImage clipboardImage() const {
        const auto& items = m_world.clipboard.items;
        if (items.size() != 1 || items[0].flavors.size() != 1 ||
            items[0].flavors[0].first != kUTTypePNG)
            return QImage();
        return QImage::fromData(items[0].flavors[0].second, "png");
    }
    // A movie of two seconds of red and then two of blue, one frame a second, kept exact.
    QString redThenBlue(const QString& name) {
        EXPECT_TRUE(fixtures::MakeMovie(
            path(name),
            {"-f", "lavfi", "-i",
             "color=c=red:s=16x16:r=1:d=2[a];color=c=blue:s=16x16:r=1:d=2[b];[a][b]concat=n=2",
             "-c:v", "png", "-f", "mov"}));
        return path(name);
    }

    // The colour that the picture's middle mostly is: lossless codecs still pass through YUV.
    static char dominant(const QImage& image) {
        const QColor colour = image.pixelColor(image.width() / 2, image.height() / 2);
        if (colour.red() > 200 && colour.green() < 60 && colour.blue() < 60)
            return 'r';
        if (colour.blue() > 200 && colour.red() < 60 && colour.green() < 60)
            return 'b';
        return '?';
    }

    platform::world::World m_world;
    platform::ScopedPlatform m_installed{m_world.services()};
};

TEST_F(ImageCopyTest, ThePictureIsDecodedWithItsOrientationAndNothingElseIsOnTheClipboard) {
    QImage wide(40, 20, QImage::Format_RGB32);
    wide.fill(Qt::green);
    QImageWriter writer(path("turned.jpg"), "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(wide));
    m_world.clipboard.items = {{{{QStringLiteral("public.utf8-plain-text"), "before"}}}};
    ASSERT_TRUE(copy("turned.jpg"));
    EXPECT_EQ(clipboardImage().size(), QSize(20, 40));
}

// The frame at the poster time the movie header records, else the first one.
TEST_F(ImageCopyTest, ThePosterIsTheFrameAtThePosterTime) {
    const QString movie = redThenBlue("colours.mov");
    ASSERT_TRUE(copy("colours.mov"));
    EXPECT_EQ(dominant(clipboardImage()), 'r');
    ASSERT_TRUE(fixtures::SetPosterTime(movie, 3));
    ASSERT_TRUE(copy("colours.mov"));
    EXPECT_EQ(dominant(clipboardImage()), 'b');
    ASSERT_TRUE(fixtures::SetPosterTime(movie, 60)); // past the end: the last frame
    ASSERT_TRUE(copy("colours.mov"));
    EXPECT_EQ(dominant(clipboardImage()), 'b');
}

// A picture too big to decode, or a movie cut short: each is a failure, not a crash or a wait.
TEST_F(ImageCopyTest, WhatCannotBeCopiedFails) {
    ASSERT_TRUE(fixtures::WritePngHeaderOnly(path("huge.png"), 100000, 100000));
    const QString movie = redThenBlue("whole.mov");
    QFile whole(movie);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    ASSERT_TRUE(fixtures::WriteText(path("truncated.mov"), bytes.left(bytes.size() / 2)));
    for (const char* name : {"huge.png", "truncated.mov"})
        EXPECT_FALSE(copy(QString::fromLatin1(name))) << name;
}

} // namespace
