#include "platform/local/FilePreview.h"

#include <QIcon>
#include <QImageReader>
#include <QMimeDatabase>

namespace {

std::optional<QImage> PicturePreview(const QString& path, const QSize& size) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
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

std::optional<QImage> IconPreview(const QString& path, const QSize& size) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
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
    if (auto picture = PicturePreview(path, size))
        return picture;
    if (asIcon)
        return IconPreview(path, size);
    return std::nullopt;
}
