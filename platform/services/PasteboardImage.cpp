#include "platform/services/PasteboardImage.h"

#include "platform/local/documents/FlavorTypes.h"

#include <QBuffer>
#include <QImageReader>

namespace {

// Calls `visit(item, flavor)` for each decodable picture flavor, in order, until it returns true.
template <typename Visit> bool forEachImageFlavor(PasteboardRef pasteboard, Visit visit) {
    if (!pasteboard)
        return false;
    PasteboardSynchronize(pasteboard);
    ItemCount count = 0;
    if (PasteboardGetItemCount(pasteboard, &count) != noErr)
        return false;
    for (CFIndex index = 1; index <= CFIndex(count); ++index) {
        PasteboardItemID item = 0;
        QStringList flavors;
        if (PasteboardGetItemIdentifier(pasteboard, index, &item) != noErr ||
            PasteboardCopyItemFlavors(pasteboard, item, &flavors) != noErr)
            continue;
        for (const QString& flavor : flavors) {
            if (FlavorIsDecodableImage(flavor) && visit(item, flavor))
                return true;
        }
    }
    return false;
}

} // namespace

bool ImageCanInitWithPasteboard(PasteboardRef pasteboard) {
    return forEachImageFlavor(pasteboard, [](PasteboardItemID, const QString&) { return true; });
}

std::optional<QImage> ImageInitWithPasteboard(PasteboardRef pasteboard, QSize within) {
    std::optional<QImage> image;
    forEachImageFlavor(pasteboard, [&](PasteboardItemID item, const QString& flavor) {
        QByteArray data;
        if (PasteboardCopyItemFlavorData(pasteboard, item, flavor, &data) != noErr ||
            data.isEmpty())
            return false;
        QBuffer buffer(&data);
        QImageReader reader(&buffer);
        const QSize own = reader.size();
        if (!within.isEmpty() && own.isValid() &&
            (own.width() > within.width() || own.height() > within.height()))
            reader.setScaledSize(own.scaled(within, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
        QImage decoded = reader.read();
        if (decoded.isNull())
            return false;
        image = std::move(decoded);
        return true;
    });
    return image;
}
