#include "platform/local/documents/FlavorTypes.h"

#include <QByteArray>
#include <QImageReader>
#include <QList>

namespace {

struct FlavorMapping {
    QLatin1String flavor;
    QLatin1String mimeType;
    QLatin1String imageFormat; // empty for text
};

// The first row for a MIME type wins when the clipboard names it.
const FlavorMapping kMappings[] = {
    {QLatin1String("public.utf8-plain-text"), QLatin1String("text/plain;charset=utf-8"), {}},
    {QLatin1String("public.utf16-external-plain-text"),
     QLatin1String("text/plain;charset=utf-16"),
     {}},
    {QLatin1String("public.utf16-plain-text"), QLatin1String("text/plain;charset=utf-16le"), {}},
    {QLatin1String("public.text"), QLatin1String("text/plain"), {}},
    {QLatin1String("public.html"), QLatin1String("text/html"), {}},
    {QLatin1String("public.file-url"), QLatin1String("text/uri-list"), {}},
    {QLatin1String("public.png"), QLatin1String("image/png"), QLatin1String("png")},
    {QLatin1String("public.tiff"), QLatin1String("image/tiff"), QLatin1String("tiff")},
    {QLatin1String("public.jpeg"), QLatin1String("image/jpeg"), QLatin1String("jpeg")},
    {QLatin1String("com.compuserve.gif"), QLatin1String("image/gif"), QLatin1String("gif")},
    {QLatin1String("com.microsoft.bmp"), QLatin1String("image/bmp"), QLatin1String("bmp")},
    {QLatin1String("org.webmproject.webp"), QLatin1String("image/webp"), QLatin1String("webp")},
};

} // namespace

QString MimeTypeForFlavor(const QString& flavor) {
    for (const FlavorMapping& mapping : kMappings) {
        if (flavor == mapping.flavor)
            return mapping.mimeType;
    }
    return flavor;
}

QString FlavorForMimeType(const QString& mimeType) {
    for (const FlavorMapping& mapping : kMappings) {
        if (mimeType.compare(mapping.mimeType, Qt::CaseInsensitive) == 0)
            return mapping.flavor;
    }
    return mimeType;
}

bool FlavorIsDecodableImage(const QString& flavor) {
    const QString mimeType = MimeTypeForFlavor(flavor);
    if (!mimeType.startsWith(QLatin1String("image/")))
        return false;
    static const QList<QByteArray> decodable = QImageReader::supportedMimeTypes();
    return decodable.contains(mimeType.toLatin1());
}

QByteArray ImageFormatForFlavor(const QString& flavor) {
    for (const FlavorMapping& mapping : kMappings) {
        if (flavor == mapping.flavor)
            return QByteArray(mapping.imageFormat.data(), mapping.imageFormat.size());
    }
    return {};
}
