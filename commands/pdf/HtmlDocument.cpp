#include "commands/pdf/HtmlDocument.h"

#include "commands/pdf/PdfConversions.h"

#include <QBuffer>
#include <QDir>
#include <QUrl>

namespace {

QImage NotDrawn() {
    QImage dot(1, 1, QImage::Format_ARGB32_Premultiplied);
    dot.fill(Qt::transparent);
    return dot;
}

} // namespace

HtmlDocument::HtmlDocument(const QString& folder)
    : m_folder(QDir::cleanPath(QDir(folder).absolutePath())), m_files(m_folder) {
    setBaseUrl(QUrl::fromLocalFile(m_folder + u'/'));
}

QVariant HtmlDocument::loadResource(int type, const QUrl& name) {
    QVariant value;
    if (type == ImageResource) {
        value = readPicture(name).value_or(NotDrawn());
    } else if (type == StyleSheetResource) {
        value = QString::fromUtf8(read(name, kMaxStyleSheetBytes).value_or(QByteArray()));
    }
    // Kept, as Qt keeps what it loads: a resource is asked for at every layout and drawing.
    if (value.isValid())
        addResource(type, name, value);
    return value;
}

std::optional<QByteArray> HtmlDocument::read(const QUrl& name, qint64 maxSize) {
    // Resolved against the folder, a relative source becomes a file: URL with its "../" taken
    // out; whatever then names no file below the folder is refused before the disk is asked.
    const QUrl url = baseUrl().resolved(name);
    if (!url.isLocalFile() || m_reads >= kMaxHtmlResources)
        return std::nullopt;
    const QString path = QDir::cleanPath(url.toLocalFile());
    const QString inside = m_folder == QStringLiteral("/") ? m_folder : m_folder + u'/';
    if (!path.startsWith(inside) || path.size() == inside.size())
        return std::nullopt;
    ++m_reads;
    auto bytes =
        m_files.read(path.mid(inside.size()), std::min(maxSize, kMaxHtmlResourceBytes - m_bytes));
    if (bytes)
        m_bytes += bytes->size();
    return bytes;
}

std::optional<QImage> HtmlDocument::readPicture(const QUrl& url) {
    const qint64 pixelsLeft = std::min(kMaxHtmlPicturePixels, kMaxHtmlPixels - m_pixels);
    if (pixelsLeft < 1)
        return std::nullopt;
    auto bytes = read(url, kMaxHtmlResourceBytes);
    if (!bytes)
        return std::nullopt;
    QBuffer buffer(&*bytes);
    buffer.open(QIODevice::ReadOnly);
    auto picture = ReadPicture(buffer, pixelsLeft);
    if (!picture)
        return std::nullopt;
    QImage& image = picture->first;
    m_pixels += qint64(image.width()) * image.height();
    // Drawn at its own size: Qt takes a picture's size on the page as its pixels divided by
    // this ratio.
    image.setDevicePixelRatio(double(picture->second.width()) / image.width());
    return image;
}
