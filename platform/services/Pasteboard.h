// The pasteboard: the clipboard as items, each offering its data in one or more flavors named
// by type identifiers ("public.utf8-plain-text", "public.png", ...), and the legacy scrap.
//
// The calls are shaped as the system makes them: a pasteboard is opened by name every time,
// synchronised, counted and read item by item (identifiers are 1-based), and written by
// clearing it and putting flavors on item 1.
#pragma once

#include "platform/types/MacTypes.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

using ItemCount = unsigned long;
using CFIndex = long;
using PasteboardItemID = quintptr;
using PasteboardSyncFlags = UInt32;
using PasteboardFlavorFlags = UInt32;
using ScrapFlavorType = FourCharCode;

enum : PasteboardSyncFlags {
    kPasteboardModified = 1 << 0,
    kPasteboardClientIsOwner = 1 << 1,
};
constexpr PasteboardFlavorFlags kPasteboardFlavorNoFlags = 0;

inline const QString kPasteboardClipboard = QStringLiteral("com.apple.pasteboard.clipboard");

// The type identifiers of the flavors the system reads and writes.
inline const QString kUTTypeUTF8PlainText = QStringLiteral("public.utf8-plain-text");
inline const QString kUTTypeUTF16ExternalPlainText =
    QStringLiteral("public.utf16-external-plain-text");
inline const QString kUTTypeUTF16PlainText = QStringLiteral("public.utf16-plain-text");
inline const QString kUTTypeText = QStringLiteral("public.text");
inline const QString kUTTypePNG = QStringLiteral("public.png");

constexpr ScrapFlavorType kScrapFlavorTypeText = FOUR_CHAR_CODE("TEXT");

namespace platform {

class PasteboardService {
public:
    virtual ~PasteboardService() = default;
    // Brings this process's view up to date; says whether the contents changed since the last
    // call and whether this process put them there.
    virtual PasteboardSyncFlags synchronize() = 0;
    // A number that grows whenever the contents change, whoever changed them; what was made
    // from the contents at one count holds for as long as the count stays.
    virtual UInt64 changeCount() = 0;
    // Empties the pasteboard and makes this process its owner.
    virtual OSStatus clear() = 0;
    virtual OSStatus itemCount(ItemCount* count) = 0;
    virtual OSStatus itemIdentifier(CFIndex index, PasteboardItemID* item) = 0;
    virtual OSStatus flavorTypes(PasteboardItemID item, QStringList* flavors) = 0;
    virtual OSStatus copyItemFlavorData(PasteboardItemID item, const QString& flavor,
                                        QByteArray* data) = 0;
    // notPasteboardOwnerErr unless this process cleared the pasteboard since another took it.
    virtual OSStatus putItemFlavor(PasteboardItemID item, const QString& flavor,
                                   const QByteArray& data, PasteboardFlavorFlags flags) = 0;
    // The legacy scrap's data of that flavor; none when the desktop keeps no scrap or it
    // holds no such flavor.
    virtual std::optional<QByteArray> scrapFlavor(ScrapFlavorType type) = 0;
    // Waits, answering the desktop meanwhile, until the pasteboard changes (a program takes it
    // or offers new contents, the one that owned it included), at most `limit`; says whether it
    // did. A change since the last synchronize counts.
    virtual bool waitForChange(std::chrono::milliseconds limit) = 0;
};

} // namespace platform

using PasteboardRef = platform::PasteboardService*;

enum : OSStatus {
    noScrapErr = -100,
    noTypeErr = -102,
    badPasteboardSyncErr = -25130,
    badPasteboardIndexErr = -25131,
    badPasteboardItemErr = -25132,
    badPasteboardFlavorErr = -25133,
    duplicatePasteboardFlavorErr = -25134,
    notPasteboardOwnerErr = -25135,
};

// Opens the pasteboard of that name. Only the clipboard exists on this desktop; any other name
// is paramErr.
OSStatus PasteboardCreate(const QString& name, PasteboardRef* pasteboard);
OSStatus PasteboardClear(PasteboardRef pasteboard);
PasteboardSyncFlags PasteboardSynchronize(PasteboardRef pasteboard);
// The contents' change count (PasteboardService::changeCount); 0 without a pasteboard.
UInt64 PasteboardChangeCount(PasteboardRef pasteboard);
OSStatus PasteboardGetItemCount(PasteboardRef pasteboard, ItemCount* count);
OSStatus PasteboardGetItemIdentifier(PasteboardRef pasteboard, CFIndex index,
                                     PasteboardItemID* item);
OSStatus PasteboardCopyItemFlavors(PasteboardRef pasteboard, PasteboardItemID item,
                                   QStringList* flavors);
OSStatus PasteboardCopyItemFlavorData(PasteboardRef pasteboard, PasteboardItemID item,
                                      const QString& flavor, QByteArray* data);
OSStatus PasteboardPutItemFlavor(PasteboardRef pasteboard, PasteboardItemID item,
                                 const QString& flavor, const QByteArray& data,
                                 PasteboardFlavorFlags flags);
// True when the pasteboard changed since it was last synchronised, or changes within `limit`.
bool PasteboardWaitForChange(PasteboardRef pasteboard, std::chrono::milliseconds limit);

// The legacy scrap: the current one, and the size and bytes of one of its flavors.
struct ScrapState;
using ScrapRef = ScrapState*;
OSStatus GetCurrentScrap(ScrapRef* scrap);
OSStatus GetScrapFlavorSize(ScrapRef scrap, ScrapFlavorType type, long* size);
// Copies at most `*size` bytes into `destination` and sets `*size` to the number copied.
OSStatus GetScrapFlavorData(ScrapRef scrap, ScrapFlavorType type, long* size, void* destination);
