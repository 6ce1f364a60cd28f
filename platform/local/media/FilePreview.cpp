#include "platform/local/media/FilePreview.h"

#include "platform/local/files/ReadOnlyFile.h"

#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QMimeDatabase>

namespace {

std::optional<QImage> PicturePreview(QFile& file, const QSize& size) {
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    const QSize own = reader.size();
    if (!own.isEmpty() && (own.width() > size.width() || own.height() > size.height()))
        reader.setScaledSize(own.scaled(size, Qt::KeepAspectRatio));
    QImage picture = reader.read();
    if (picture.isNull())
        return std::nullopt;
    if (picture.width() > size.width() || picture.height() > size.height())
        picture = picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return picture;
}

std::optional<QImage> IconPreview(const QString& path, QFile* file, const QSize& size) {
    const QMimeDatabase types;
    const QMimeType type = file && file->seek(0)
                               ? types.mimeTypeForFileNameAndData(QFileInfo(path).fileName(), file)
                               : types.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    const QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    if (icon.isNull())
        return std::nullopt;
    const QImage image = icon.pixmap(size).toImage();
    if (image.isNull())
        return std::nullopt;
    return image;
}

} // namespace

std::optional<QImage> ImageWithPreviewOfFileAtPath(const QString& path, const QSize& size,
                                                   bool asIcon) {
    if (size.isEmpty())
        return std::nullopt;
    const auto file = OpenRegularFile(path, kMaxPictureFileBytes);
    if (file) {
        if (auto picture = PicturePreview(*file, size))
            return picture;
    }
    if (asIcon)
        return IconPreview(path, file.get(), size);
    return std::nullopt;
}
