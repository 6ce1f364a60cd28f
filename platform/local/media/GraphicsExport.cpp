#include "platform/local/media/GraphicsExport.h"

#include <QBuffer>
#include <QImageWriter>
#include <QMimeDatabase>

namespace {

struct KnownType {
    const char* mimeType;
    OSType type;
};

// QuickTime's codes for the formats it knew.
constexpr KnownType kKnownTypes[] = {
    {"image/png", FOUR_CHAR_CODE("PNGf")},    {"image/jpeg", FOUR_CHAR_CODE("JPEG")},
    {"image/tiff", FOUR_CHAR_CODE("TIFF")},   {"image/bmp", FOUR_CHAR_CODE("BMPf")},
    {"image/gif", FOUR_CHAR_CODE("GIFf")},    {"image/x-tga", FOUR_CHAR_CODE("TPIC")},
    {"image/x-icns", FOUR_CHAR_CODE("icns")}, {"image/jp2", FOUR_CHAR_CODE("jp2 ")},
    {"image/x-sgi", FOUR_CHAR_CODE(".SGI")},  {"image/vnd.microsoft.icon", FOUR_CHAR_CODE("ICO ")},
};

// PNG's zlib level 1 in Qt's quality scale, where quality q gives level (100 - q) * 9 / 91.
constexpr int kFastPngQuality = 85;

OSType codeFromExtension(const QByteArray& extension) {
    QByteArray code = extension.toUpper().left(4);
    while (code.size() < 4)
        code.append(' ');
    return OSType(quint8(code[0])) << 24 | OSType(quint8(code[1])) << 16 |
           OSType(quint8(code[2])) << 8 | OSType(quint8(code[3]));
}

OSType codeFor(const QByteArray& mimeType, const QByteArray& extension) {
    for (const KnownType& known : kKnownTypes) {
        if (mimeType == known.mimeType)
            return known.type;
    }
    return codeFromExtension(extension);
}

// The Qt format that writes the MIME type.
QByteArray formatFor(const QByteArray& mimeType) {
    for (const QByteArray& format : QImageWriter::imageFormatsForMimeType(mimeType))
        return format;
    return {};
}

} // namespace

std::vector<ExportImageType> GraphicsExportImageTypes() {
    const QMimeDatabase mimeDatabase;
    std::vector<ExportImageType> types;
    for (const QByteArray& mimeType : QImageWriter::supportedMimeTypes()) {
        const QMimeType known = mimeDatabase.mimeTypeForName(QString::fromLatin1(mimeType));
        QByteArray extension = known.preferredSuffix().toUtf8();
        if (extension.isEmpty())
            extension = formatFor(mimeType);
        const QByteArray description = known.isValid() ? known.comment().toUtf8() : mimeType;
        types.push_back({codeFor(mimeType, extension), description, extension, mimeType});
    }
    return types;
}

std::optional<QByteArray> GraphicsExportImage(const QImage& image, OSType type, int quality) {
    for (const ExportImageType& known : GraphicsExportImageTypes()) {
        if (known.type != type)
            continue;
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, formatFor(known.mimeType));
        const int scaled = qBound(0, quality, codecMaxQuality) * 100 / codecMaxQuality;
        writer.setQuality(known.mimeType == "image/png" ? kFastPngQuality : scaled);
        if (!writer.write(image))
            return std::nullopt;
        return bytes;
    }
    return std::nullopt;
}
