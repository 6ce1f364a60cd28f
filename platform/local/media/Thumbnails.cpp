#include "platform/local/media/Thumbnails.h"

#include "platform/local/files/AtomicFileDevice.h"
#include "platform/local/files/FileUri.h"
#include "platform/local/files/ReadOnlyFile.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <cerrno>
#include <memory>
#include <sys/stat.h>

namespace platform {

namespace {

constexpr int kNormalSize = 128;
// A normal thumbnail is a few kilobytes at 128 px; a file that is far larger or wider than that
// is not one, whoever wrote it.
constexpr qint64 kMaxThumbnailBytes = 1 << 20;
constexpr int kMaxThumbnailSide = 2 * kNormalSize;

std::optional<qint64> modificationTime(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return qint64(status.st_mtim.tv_sec);
}

// The stored thumbnail, when it is one and stands for this version of the file.
std::optional<QImage> freshThumbnail(const QString& file, const QByteArray& uri, qint64 mtime) {
    auto bytes = ReadRegularFile(file, kMaxThumbnailBytes);
    if (!bytes)
        return std::nullopt;
    QBuffer buffer(&*bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxThumbnailSide || size.height() > kMaxThumbnailSide)
        return std::nullopt;
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    bool numeric = false;
    const qint64 stored = image.text(QStringLiteral("Thumb::MTime")).toLongLong(&numeric);
    if (!numeric || stored != mtime || image.text(QStringLiteral("Thumb::URI")).toUtf8() != uri)
        return std::nullopt;
    return image;
}

// The picture at `path` decoded at no more than the normal size: formats that can (JPEG) decode
// only what that size needs.
std::optional<QImage> decodedScaled(const QString& path) {
    const auto file = OpenRegularFile(path);
    if (!file)
        return std::nullopt;
    QImageReader reader(file.get());
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    const QSize box(kNormalSize, kNormalSize);
    if (full.isValid() && (full.width() > kNormalSize || full.height() > kNormalSize))
        reader.setScaledSize(full.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    if (image.width() > kNormalSize || image.height() > kNormalSize)
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

// Folders the standard wants private are made so; existing ones are left as their owner set them.
bool makePrivateFolders(const QString& folder) {
    QStringList missing;
    for (QString path = QDir::cleanPath(folder); !QFileInfo::exists(path);
         path = QFileInfo(path).path())
        missing.prepend(path);
    for (const QString& path : missing) {
        if (!QDir().mkdir(path))
            return false;
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ExeOwner);
    }
    return QFileInfo(folder).isDir();
}

void store(QImage image, const QString& file, const QByteArray& uri, qint64 mtime) {
    image.setText(QStringLiteral("Thumb::URI"), QString::fromUtf8(uri));
    image.setText(QStringLiteral("Thumb::MTime"), QString::number(mtime));
    image.setText(QStringLiteral("Software"), QStringLiteral("Velmora"));
    if (!makePrivateFolders(QFileInfo(file).absolutePath()))
        return;
    // Private (0600), as the standard asks: a thumbnail shows what a picture holds. Not synced
    // to disk: a thumbnail lost in a crash is only made again, and syncing would cost every
    // picture drawn a disk flush.
    platform::AtomicFile out(
        platform::FileSystemPath(file), platform::AtomicFile::Existing::Replace,
        platform::AtomicFile::Permissions::Private, platform::AtomicFile::Durability::CacheOnly);
    platform::AtomicFileDevice device(out);
    QImageWriter writer(&device, "png");
    if (!writer.write(image))
        out.fail(EIO);
    out.commit();
}

} // namespace

QByteArray ThumbnailUri(const QByteArray& absolutePath) {
    return encodeFileUri(absolutePath, "!$&'()*+,:=@");
}

std::optional<QImage> NormalThumbnail(const QString& path, const QString& cacheHome) {
    const auto mtime = modificationTime(path);
    if (!mtime)
        return std::nullopt;
    const QString thumbnails = cacheHome + QStringLiteral("/thumbnails/");
    const QByteArray uri = ThumbnailUri(QFile::encodeName(path));
    const QString file =
        thumbnails + QStringLiteral("normal/") +
        QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) +
        QStringLiteral(".png");
    if (auto thumbnail = freshThumbnail(file, uri, *mtime))
        return thumbnail;
    auto picture = decodedScaled(path);
    // Thumbnails of thumbnails are never made.
    if (picture && !cacheHome.isEmpty() && QDir::isAbsolutePath(path) &&
        !path.startsWith(thumbnails))
        store(*picture, file, uri, *mtime);
    return picture;
}

} // namespace platform
