#include "platform/linux/DesktopBackground.h"
#include "platform/linux/LinuxServices.h"
#include "platform/linux/gnome/ShellWindows.h"
#include "platform/linux/wayland/DataControlClipboard.h"
#include "platform/linux/wayland/WaylandConnection.h"
#include "platform/local/documents/FlavorTypes.h"

#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <cstdio>

namespace platform::linuxdesk {

namespace {

using namespace std::chrono_literals;

constexpr PasteboardItemID kOnlyItem = 1;
// What a read of the compositor's clipboard may cost an opening: a program that copied and
// never sends leaves its item out, once per contents.
constexpr auto kDataControlReadLimit = 500ms;
// Larger contents are not read: a picture of 100 megabytes is nobody's preview or file name.
constexpr qsizetype kDataControlMaxBytes = 64 * 1024 * 1024;
// How long the compositor may take to tell of a new selection at an opening.
constexpr auto kDataControlSyncLimit = 100ms;
constexpr qint64 kReconnectEveryMs = 1000;

QClipboard* clipboard() {
    return QGuiApplication::clipboard();
}

// Qt's own formats describe the same data again in Qt's terms; they are not offered.
bool isOffered(const QString& mimeType) {
    return !mimeType.startsWith(QLatin1String("application/x-qt-"));
}

// The one source of the clipboard this session can be trusted with, the compositor's clipboard
// when that is the one, and whether this is GNOME's Wayland session.
LinuxPasteboard::Source chooseSource(std::unique_ptr<wayland::DataControlClipboard>& dataControl,
                                     bool& gnomeWayland) {
    const bool wayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
                         qgetenv("XDG_SESSION_TYPE") == QByteArrayLiteral("wayland");
    if (!wayland)
        return LinuxPasteboard::Source::X11;
    if ((dataControl =
             wayland::DataControlClipboard::connect(wayland::WaylandConnection::session()))) {
        std::fprintf(stderr, "velmora: the clipboard is read through the compositor's %s\n",
                     dataControl->protocol());
        return LinuxPasteboard::Source::DataControl;
    }
    if (DesktopFamilyFor(qgetenv("XDG_CURRENT_DESKTOP")) == DesktopFamily::Gnome) {
        std::fprintf(stderr, "velmora: the clipboard is read through XWayland, which GNOME keeps "
                             "current for X11 programs\n");
        gnomeWayland = true;
        return LinuxPasteboard::Source::X11;
    }
    std::fprintf(stderr,
                 "velmora: this Wayland compositor offers no clipboard data control, and what it "
                 "gives X11 programs may be stale: the clipboard is taken as empty\n");
    return LinuxPasteboard::Source::None;
}

} // namespace

// Qt hands back the very data this process offered for as long as it owns the clipboard, and
// deletes it once another program takes the clipboard over.
bool LinuxPasteboard::ownsClipboard() const {
    if (m_source == Source::DataControl)
        return m_dataControl->owns();
    return m_offered && clipboard()->mimeData() == m_offered.data();
}

LinuxPasteboard::LinuxPasteboard() {
    bool gnomeWayland = false;
    m_source = chooseSource(m_dataControl, gnomeWayland);
    if (gnomeWayland)
        m_shell = &gnome::SessionShell();
    if (m_source == Source::X11)
        m_watch = QObject::connect(clipboard(), &QClipboard::dataChanged, clipboard(), [this] {
            m_modified = true;
            ++m_changes;
        });
}

LinuxPasteboard::~LinuxPasteboard() {
    QObject::disconnect(m_watch);
}

// A compositor that restarted (KWin does after a crash) or dropped Velmora's connection is asked
// again, at most once a second: until then the clipboard reads as empty. The count goes on from
// where the old connection left it, so that no opening takes the new clipboard for one it saw.
void LinuxPasteboard::reconnectIfGone() {
    if (m_dataControl->usable() ||
        (m_reconnected.isValid() && !m_reconnected.hasExpired(kReconnectEveryMs)))
        return;
    m_reconnected.start();
    auto again = wayland::DataControlClipboard::connect(wayland::WaylandConnection::session());
    if (!again)
        return;
    m_countBase += m_dataControl->changeCount() + 1;
    m_dataControl = std::move(again);
    std::fprintf(stderr, "velmora: the clipboard is read through the compositor's %s again\n",
                 m_dataControl->protocol());
}

UInt64 LinuxPasteboard::dataControlCount() const {
    return m_countBase + m_dataControl->changeCount();
}

PasteboardSyncFlags LinuxPasteboard::synchronize() {
    if (m_source == Source::DataControl) {
        reconnectIfGone();
        m_dataControl->synchronize(kDataControlSyncLimit);
        m_modified = m_modified || dataControlCount() != m_seenChanges;
        m_seenChanges = dataControlCount();
    }
    PasteboardSyncFlags flags = m_modified ? PasteboardSyncFlags(kPasteboardModified) : 0;
    if (ownsClipboard())
        flags |= kPasteboardClientIsOwner;
    m_modified = false;
    return flags;
}

// Qt tells of every new owner, and of the same owner taking the clipboard again with new
// contents: on X11 each is an XFixes selection event with a newer timestamp, read from the same
// connection as the click that opens the menu, and so handled before it. The compositor's data
// control announces every new selection; the count is asked for after a round trip, so that a
// copy made just before the opening is counted.
UInt64 LinuxPasteboard::changeCount() {
    if (m_source == Source::DataControl) {
        reconnectIfGone();
        m_dataControl->synchronize(kDataControlSyncLimit);
        return dataControlCount();
    }
    return m_changes;
}

QStringList LinuxPasteboard::offeredTypes() const {
    QStringList types;
    if (m_source == Source::DataControl) {
        types = m_dataControl->mimeTypes();
    } else if (m_source == Source::X11) {
        if (const QMimeData* data = clipboard()->mimeData())
            types = data->formats();
    }
    types.removeIf([](const QString& type) { return !isOffered(type); });
    return types;
}

OSStatus LinuxPasteboard::clear() {
    ++m_changes;
    if (m_source == Source::DataControl)
        return m_dataControl->set({}) ? OSStatus(noErr) : OSStatus(notPasteboardOwnerErr);
    if (m_source == Source::None)
        return notPasteboardOwnerErr;
    clipboard()->clear();
    auto* empty = new QMimeData;
    m_offered = empty;
    clipboard()->setMimeData(empty);
    m_clearedAt = m_changes;
    return noErr;
}

OSStatus LinuxPasteboard::itemCount(ItemCount* count) {
    *count = offeredTypes().isEmpty() ? 0 : 1;
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
    const QStringList types = offeredTypes();
    if (item != kOnlyItem || types.isEmpty())
        return badPasteboardItemErr;
    flavors->clear();
    for (const QString& type : types)
        flavors->append(FlavorForMimeType(type));
    flavors->removeDuplicates();
    return noErr;
}

OSStatus LinuxPasteboard::copyItemFlavorData(PasteboardItemID item, const QString& flavor,
                                             QByteArray* data) {
    const QStringList types = offeredTypes();
    if (item != kOnlyItem || types.isEmpty())
        return badPasteboardItemErr;
    const QString mimeType = MimeTypeForFlavor(flavor);
    if (!types.contains(mimeType))
        return badPasteboardFlavorErr;
    if (m_source == Source::DataControl) {
        const auto read =
            m_dataControl->read(mimeType, kDataControlReadLimit, kDataControlMaxBytes);
        if (!read)
            return badPasteboardFlavorErr;
        *data = *read;
        return noErr;
    }
    *data = clipboard()->mimeData()->data(mimeType);
    return noErr;
}

// The Shell takes UTF-8 text put on a clipboard this process has just cleared, whether or not
// the X server let Velmora claim it; a Shell that does not answer leaves the claim to X11. What
// the Shell holds is its own: nothing more is added to it.
bool LinuxPasteboard::putThroughShell(const QString& flavor, const QByteArray& data) {
    if (!m_shell || flavor != kUTTypeUTF8PlainText || m_changes != m_clearedAt ||
        !m_shell->available() || !m_shell->setClipboardText(QString::fromUtf8(data)))
        return false;
    ++m_changes;
    m_offered.clear();
    return true;
}

OSStatus LinuxPasteboard::putItemFlavor(PasteboardItemID item, const QString& flavor,
                                        const QByteArray& data, PasteboardFlavorFlags) {
    if (item == kOnlyItem && putThroughShell(flavor, data))
        return noErr;
    if (!ownsClipboard())
        return notPasteboardOwnerErr;
    // X11 has one item; a second one cannot be offered.
    if (item != kOnlyItem)
        return badPasteboardItemErr;
    const QString mimeType = MimeTypeForFlavor(flavor);
    // The clipboard owns what it is given and may drop it at any time, so each put hands it a
    // new set of data holding everything put so far.
    wayland::DataControlClipboard::Contents contents;
    if (m_source == Source::DataControl) {
        for (const QString& type : m_dataControl->mimeTypes())
            contents.append(
                {type, *m_dataControl->read(type, kDataControlReadLimit, kDataControlMaxBytes)});
    } else {
        for (const QString& format : m_offered->formats())
            contents.append({format, m_offered->data(format)});
    }
    for (const auto& [type, bytes] : contents)
        if (type == mimeType)
            return duplicatePasteboardFlavorErr;
    ++m_changes;
    contents.append({mimeType, data});
    // Programs that know only the plain forms (UTF8_STRING, STRING, text/plain) find UTF-8 text
    // under text/plain.
    if (flavor == kUTTypeUTF8PlainText &&
        std::none_of(contents.cbegin(), contents.cend(),
                     [](const auto& offered) { return offered.first == u"text/plain"; }))
        contents.append({QStringLiteral("text/plain"), data});
    if (m_source == Source::DataControl)
        return m_dataControl->set(contents) ? OSStatus(noErr) : OSStatus(notPasteboardOwnerErr);
    auto* next = new QMimeData;
    for (const auto& [type, bytes] : contents)
        next->setData(type, bytes);
    m_offered = next;
    clipboard()->setMimeData(next);
    return noErr;
}

std::optional<QByteArray> LinuxPasteboard::scrapFlavor(ScrapFlavorType) {
    return std::nullopt;
}

// On X11 each new owner of the clipboard, the one that owned it already included, reaches Qt as
// an XFixes event, which only an event loop delivers; the compositor's data control announces
// it on Velmora's own connection.
bool LinuxPasteboard::waitForChange(std::chrono::milliseconds limit) {
    if (m_source == Source::DataControl) {
        if (dataControlCount() != m_seenChanges)
            return true;
        return m_dataControl->waitForChange(limit);
    }
    if (m_modified || m_source == Source::None)
        return m_modified;
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
