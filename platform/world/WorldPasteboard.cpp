#include "platform/world/World.h"
#include "platform/world/WorldServices.h"

#include <QThread>

namespace platform::world {

namespace {
// Item identifiers are the items' 1-based positions.
const PasteboardItem* itemOf(const ClipboardState& clipboard, PasteboardItemID item) {
    if (item < 1 || item > clipboard.items.size())
        return nullptr;
    return &clipboard.items[item - 1];
}
} // namespace

PasteboardSyncFlags WorldPasteboard::synchronize() {
    m_world.answerDueCopy();
    ClipboardState& clipboard = m_world.clipboard;
    PasteboardSyncFlags flags = 0;
    if (clipboard.modified)
        flags |= kPasteboardModified;
    if (clipboard.ownedBySystem)
        flags |= kPasteboardClientIsOwner;
    clipboard.modified = false;
    return flags;
}

UInt64 WorldPasteboard::changeCount() {
    if (m_world.clipboard.items != m_counted || m_world.clipboard.scrap != m_countedScrap) {
        m_counted = m_world.clipboard.items;
        m_countedScrap = m_world.clipboard.scrap;
        ++m_changes;
    }
    return m_changes;
}

bool WorldPasteboard::waitForChange(std::chrono::milliseconds limit) {
    const QDeadlineTimer deadline(limit);
    for (;;) {
        m_world.answerDueCopy();
        if (m_world.clipboard.modified)
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(5);
    }
}

OSStatus WorldPasteboard::clear() {
    if (m_world.clipboard.heldByOther) {
        m_world.clipboard.ownedBySystem = false;
        return noErr;
    }
    m_world.clipboard.items.clear();
    m_world.clipboard.scrap.clear();
    m_world.clipboard.ownedBySystem = true;
    return noErr;
}

OSStatus WorldPasteboard::itemCount(ItemCount* count) {
    *count = ItemCount(m_world.clipboard.items.size());
    return noErr;
}

OSStatus WorldPasteboard::itemIdentifier(CFIndex index, PasteboardItemID* item) {
    if (index < 1 || size_t(index) > m_world.clipboard.items.size())
        return badPasteboardIndexErr;
    *item = PasteboardItemID(index);
    return noErr;
}

OSStatus WorldPasteboard::flavorTypes(PasteboardItemID item, QStringList* flavors) {
    const PasteboardItem* found = itemOf(m_world.clipboard, item);
    if (!found)
        return badPasteboardItemErr;
    flavors->clear();
    for (const auto& [flavor, data] : found->flavors)
        flavors->append(flavor);
    return noErr;
}

OSStatus WorldPasteboard::copyItemFlavorData(PasteboardItemID item, const QString& flavor,
                                             QByteArray* data) {
    const PasteboardItem* found = itemOf(m_world.clipboard, item);
    if (!found)
        return badPasteboardItemErr;
    for (const auto& [type, bytes] : found->flavors) {
        if (type == flavor) {
            *data = bytes;
            return noErr;
        }
    }
    return badPasteboardFlavorErr;
}

OSStatus WorldPasteboard::putItemFlavor(PasteboardItemID item, const QString& flavor,
                                        const QByteArray& data, PasteboardFlavorFlags) {
    ClipboardState& clipboard = m_world.clipboard;
    if (!clipboard.ownedBySystem)
        return notPasteboardOwnerErr;
    if (item < 1 || item > clipboard.items.size() + 1)
        return badPasteboardItemErr;
    if (item == clipboard.items.size() + 1)
        clipboard.items.emplace_back();
    auto& flavors = clipboard.items[item - 1].flavors;
    for (const auto& [type, bytes] : flavors) {
        if (type == flavor)
            return duplicatePasteboardFlavorErr;
    }
    flavors.emplace_back(flavor, data);
    return noErr;
}

std::optional<QByteArray> WorldPasteboard::scrapFlavor(ScrapFlavorType type) {
    const auto found = m_world.clipboard.scrap.find(type);
    if (found == m_world.clipboard.scrap.end())
        return std::nullopt;
    return found->second;
}

} // namespace platform::world
