#include "platform/local/media/Thumbnails.h"
#include "tests/support/MediaFixtures.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

namespace {

using platform::NormalThumbnail;
using platform::ThumbnailUri;

// File managers name a thumbnail by the MD5 of the URI GLib writes; one character escaped
// differently and neither finds the other's.
TEST(Thumbnails, UrisAreWrittenAsGLibWritesThem) {
    EXPECT_EQ(ThumbnailUri("/home/ann/a b;c#d%e?.png"),
              "file:///home/ann/a%20b%3Bc%23d%25e%3F.png");
    EXPECT_EQ(ThumbnailUri("/p/!$&'()*+,-.:=@_~"), "file:///p/!$&'()*+,-.:=@_~");
    EXPECT_EQ(ThumbnailUri("/p/caf\xc3\xa9\xff"), "file:///p/caf%C3%A9%FF");
}

class NormalThumbnails : public ::testing::Test {
protected:
    void SetUp() override {
        m_picture = m_dir.filePath(QStringLiteral("photo.jpg"));
        QImage photo(1600, 1200, QImage::Format_RGB32);
        photo.fill(Qt::blue);
        ASSERT_TRUE(photo.save(m_picture, "jpeg"));
        m_cache = m_dir.filePath(QStringLiteral("cache"));
    }

    QString thumbnailFile() const {
        const QByteArray uri = ThumbnailUri(QFile::encodeName(m_picture));
        return m_cache + QStringLiteral("/thumbnails/normal/") +
               QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) +
               QStringLiteral(".png");
    }

    // A thumbnail of another colour put where the real one goes, with the given texts.
    void replaceThumbnail(const QString& uri, qint64 mtime, QSize size = QSize(128, 96)) const {
        QImage red(size, QImage::Format_RGB32);
        red.fill(Qt::red);
        red.setText(QStringLiteral("Thumb::URI"), uri);
        red.setText(QStringLiteral("Thumb::MTime"), QString::number(mtime));
        ASSERT_TRUE(red.save(thumbnailFile(), "png"));
    }

    static qint64 mtimeOf(const QString& path) {
        struct stat status {};
        stat(QFile::encodeName(path).constData(), &status);
        return status.st_mtim.tv_sec;
    }

    QTemporaryDir m_dir;
    QString m_picture;
    QString m_cache;
};

// The first call decodes and stores the thumbnail privately; the next one reads the stored one
// and not the photo, until the photo changes or what is stored is no thumbnail.
TEST_F(NormalThumbnails, AreStoredThenReadUntilThePictureChangesOrTheStoredOneIsTooLarge) {
    const auto made = NormalThumbnail(m_picture, m_cache);
    ASSERT_TRUE(made);
    EXPECT_EQ(made->size(), QSize(128, 96));
    struct stat status {};
    ASSERT_EQ(stat(QFile::encodeName(thumbnailFile()).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    ASSERT_EQ(stat(QFile::encodeName(m_cache + QStringLiteral("/thumbnails")).constData(), &status),
              0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);

    const QString uri = QString::fromLatin1(ThumbnailUri(QFile::encodeName(m_picture)));
    replaceThumbnail(uri, mtimeOf(m_picture));
    EXPECT_EQ(NormalThumbnail(m_picture, m_cache)->pixelColor(5, 5), QColor(Qt::red));

    // Another file's thumbnail, or this file's before it changed, does not stand for it.
    replaceThumbnail(uri + QStringLiteral("x"), mtimeOf(m_picture));
    EXPECT_NE(NormalThumbnail(m_picture, m_cache)->pixelColor(5, 5), QColor(Qt::red));
    replaceThumbnail(uri, mtimeOf(m_picture));
    const utimbuf later{mtimeOf(m_picture) + 10, mtimeOf(m_picture) + 10};
    ASSERT_EQ(utime(QFile::encodeName(m_picture).constData(), &later), 0);
    EXPECT_NE(NormalThumbnail(m_picture, m_cache)->pixelColor(5, 5), QColor(Qt::red));
    EXPECT_EQ(NormalThumbnail(m_picture, m_cache)->text(QStringLiteral("Thumb::MTime")),
              QString::number(mtimeOf(m_picture)));

    // A file far larger than any thumbnail where the thumbnail goes is not read as one.
    replaceThumbnail(QString::fromLatin1(ThumbnailUri(QFile::encodeName(m_picture))),
                     mtimeOf(m_picture), QSize(4000, 10));
    EXPECT_EQ(NormalThumbnail(m_picture, m_cache)->size(), QSize(128, 96));
}

// What is no picture, or no regular file, gets no thumbnail and leaves nothing in the cache.
TEST_F(NormalThumbnails, NothingIsMadeForWhatIsNoPicture) {
    const QString text = m_dir.filePath(QStringLiteral("notes.txt"));
    ASSERT_TRUE(fixtures::WriteText(text, "no picture"));
    const QString fifo = m_dir.filePath(QStringLiteral("pipe.png"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(NormalThumbnail(text, m_cache));
    EXPECT_FALSE(NormalThumbnail(fifo, m_cache));
    EXPECT_FALSE(NormalThumbnail(m_dir.filePath(QStringLiteral("gone.png")), m_cache));
    EXPECT_FALSE(QDir(m_cache).exists());
}

} // namespace
