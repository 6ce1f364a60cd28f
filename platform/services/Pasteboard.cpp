#include "platform/services/Pasteboard.h"

#include "platform/services/Platform.h"

#include <cstring>

struct ScrapState {
    platform::PasteboardService* pasteboard = nullptr;
};

namespace {
ScrapState gCurrentScrap;
} // namespace

OSStatus PasteboardCreate(const QString& name, PasteboardRef* pasteboard) {
    if (!pasteboard)
        return paramErr;
    *pasteboard = nullptr;
    if (name != kPasteboardClipboard)
        return paramErr;
    *pasteboard = &platform::pasteboard();
    return noErr;
}

OSStatus PasteboardClear(PasteboardRef pasteboard) {
    return pasteboard ? pasteboard->clear() : paramErr;
}

PasteboardSyncFlags PasteboardSynchronize(PasteboardRef pasteboard) {
    return pasteboard ? pasteboard->synchronize() : 0;
}

UInt64 PasteboardChangeCount(PasteboardRef pasteboard) {
    return pasteboard ? pasteboard->changeCount() : 0;
}

bool PasteboardWaitForChange(PasteboardRef pasteboard, std::chrono::milliseconds limit) {
    return pasteboard && pasteboard->waitForChange(limit);
}

OSStatus PasteboardGetItemCount(PasteboardRef pasteboard, ItemCount* count) {
    if (!pasteboard || !count)
        return paramErr;
    return pasteboard->itemCount(count);
}

OSStatus PasteboardGetItemIdentifier(PasteboardRef pasteboard, CFIndex index,
                                     PasteboardItemID* item) {
    if (!pasteboard || !item)
        return paramErr;
    return pasteboard->itemIdentifier(index, item);
}

OSStatus PasteboardCopyItemFlavors(PasteboardRef pasteboard, PasteboardItemID item,
                                   QStringList* flavors) {
    if (!pasteboard || !flavors)
        return paramErr;
    return pasteboard->flavorTypes(item, flavors);
}

OSStatus PasteboardCopyItemFlavorData(PasteboardRef pasteboard, PasteboardItemID item,
                                      const QString& flavor, QByteArray* data) {
    if (!pasteboard || !data)
        return paramErr;
    return pasteboard->copyItemFlavorData(item, flavor, data);
}

OSStatus PasteboardPutItemFlavor(PasteboardRef pasteboard, PasteboardItemID item,
                                 const QString& flavor, const QByteArray& data,
                                 PasteboardFlavorFlags flags) {
    if (!pasteboard)
        return paramErr;
    return pasteboard->putItemFlavor(item, flavor, data, flags);
}

OSStatus GetCurrentScrap(ScrapRef* scrap) {
    if (!scrap)
        return paramErr;
    gCurrentScrap.pasteboard = &platform::pasteboard();
    *scrap = &gCurrentScrap;
    return noErr;
}

OSStatus GetScrapFlavorSize(ScrapRef scrap, ScrapFlavorType type, long* size) {
    if (!scrap || !scrap->pasteboard || !size)
        return paramErr;
    const auto data = scrap->pasteboard->scrapFlavor(type);
    if (!data)
        return noTypeErr;
    *size = long(data->size());
    return noErr;
}

OSStatus GetScrapFlavorData(ScrapRef scrap, ScrapFlavorType type, long* size, void* destination) {
    if (!scrap || !scrap->pasteboard || !size || *size < 0 || (*size > 0 && !destination))
        return paramErr;
    const auto data = scrap->pasteboard->scrapFlavor(type);
    if (!data)
        return noTypeErr;
    const long copied = std::min<long>(*size, long(data->size()));
    if (copied > 0)
        std::memcpy(destination, data->constData(), size_t(copied));
    *size = copied;
    return noErr;
}
