#include "platform/linux/LinuxServices.h"
#include "platform/local/documents/FlavorTypes.h"

#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

namespace platform::linuxdesk {

namespace {

constexpr PasteboardItemID kOnlyItem = 1;

QClipboard* clipboard() {
    return QGuiApplication::clipboard();
}

// Qt's own formats describe the same data again in Qt's terms; they are not offered.
bool isOffered(const QString& mimeType) {
    return !mimeType.startsWith(QLatin1String("application/x-qt-"));
}

} // namespace

// Qt hands back the very data this process offered for as long as it owns the clipboard, and
// deletes it once another program takes the clipboard over.
bool LinuxPasteboard::ownsClipboard() const {
    return m_offered && clipboard()->mimeData() == m_offered.data();
}

LinuxPasteboard::LinuxPasteboard()
    : m_watch(QObject::connect(clipboard(), &QClipboard::dataChanged, clipboard(), [this] {
          m_modified = true;
          ++m_changes;
      })) {}

LinuxPasteboard::~LinuxPasteboard() {
    QObject::disconnect(m_watch);
}

PasteboardSyncFlags LinuxPasteboard::synchronize() {
    PasteboardSyncFlags flags = m_modified ? PasteboardSyncFlags(kPasteboardModified) : 0;
    if (ownsClipboard())
        flags |= kPasteboardClientIsOwner;
    m_modified = false;
    return flags;
}

// Qt tells of every new owner, and of the same owner taking the clipboard again with new
// contents: on X11 each is an XFixes selection event with a newer timestamp, read from the same
// connection as the click that opens the menu, and so handled before it.
UInt64 LinuxPasteboard::changeCount() {
    return m_changes;
}

OSStatus LinuxPasteboard::clear() {
    ++m_changes;
    clipboard()->clear();
    auto* empty = new QMimeData;
    m_offered = empty;
    clipboard()->setMimeData(empty);
    return noErr;
}

OSStatus LinuxPasteboard::itemCount(ItemCount* count) {
    const QMimeData* data = clipboard()->mimeData();
    *count = 0;
    if (data) {
        for (const QString& format : data->formats()) {
            if (isOffered(format)) {
                *count = 1;
                break;
            }
        }
    }
    return noErr;
}

OSStatus LinuxPasteboard::itemIdentifier(CFIndex index, PasteboardItemID* item) {
    ItemCount count = 0;
    itemCount(&count);
    if (index < 1 || ItemCount(index) > count)
        return badPasteboardIndexErr;
    *item = kOnlyItem;
    return noErr;
}

OSStatus LinuxPasteboard::flavorTypes(PasteboardItemID item, QStringList* flavors) {
    const QMimeData* data = clipboard()->mimeData();
    if (item != kOnlyItem || !data)
        return badPasteboardItemErr;
    flavors->clear();
    for (const QString& format : data->formats()) {
        if (isOffered(format))
            flavors->append(FlavorForMimeType(format));
    }
    flavors->removeDuplicates();
    return noErr;
}

OSStatus LinuxPasteboard::copyItemFlavorData(PasteboardItemID item, const QString& flavor,
                                             QByteArray* data) {
    const QMimeData* offered = clipboard()->mimeData();
    if (item != kOnlyItem || !offered)
        return badPasteboardItemErr;
    const QString mimeType = MimeTypeForFlavor(flavor);
    if (!offered->hasFormat(mimeType))
        return badPasteboardFlavorErr;
    *data = offered->data(mimeType);
    return noErr;
}

OSStatus LinuxPasteboard::putItemFlavor(PasteboardItemID item, const QString& flavor,
                                        const QByteArray& data, PasteboardFlavorFlags) {
    if (!ownsClipboard())
        return notPasteboardOwnerErr;
    // X11 has one item; a second one cannot be offered.
    if (item != kOnlyItem)
        return badPasteboardItemErr;
    const QString mimeType = MimeTypeForFlavor(flavor);
    if (m_offered->hasFormat(mimeType))
        return duplicatePasteboardFlavorErr;
    ++m_changes;
    // The clipboard owns what it is given and may drop it at any time, so each put hands it a
    // new set of data holding everything put so far.
    auto* next = new QMimeData;
    for (const QString& format : m_offered->formats())
        next->setData(format, m_offered->data(format));
    next->setData(mimeType, data);
    // Programs that know only the plain forms (UTF8_STRING, STRING) find UTF-8 text under
    // text/plain, which Qt offers to them.
    if (flavor == kUTTypeUTF8PlainText && !next->hasFormat(QStringLiteral("text/plain")))
        next->setData(QStringLiteral("text/plain"), data);
    m_offered = next;
    clipboard()->setMimeData(next);
    return noErr;
}

std::optional<QByteArray> LinuxPasteboard::scrapFlavor(ScrapFlavorType) {
    return std::nullopt;
}

// On X11 each new owner of the clipboard, the one that owned it already included, reaches Qt as
// an XFixes event, which only an event loop delivers.
bool LinuxPasteboard::waitForChange(std::chrono::milliseconds limit) {
    if (m_modified)
        return true;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(clipboard(), &QClipboard::dataChanged, &loop, &QEventLoop::quit);
    timer.start(limit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return m_modified;
}

} // namespace platform::linuxdesk
