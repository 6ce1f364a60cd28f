// The Linux implementation of each desktop service.
#pragma once

#include "platform/linux/DesktopBackground.h"
#include "platform/local/files/Files.h"
#include "platform/local/text/WordIndex.h"
#include "platform/services/AlertService.h"
#include "platform/services/Application.h"
#include "platform/services/Finder.h"
#include "platform/services/Locations.h"
#include "platform/services/Notifications.h"
#include "platform/services/Pasteboard.h"
#include "platform/services/Processes.h"
#include "platform/services/Scripting.h"
#include "platform/services/Sounds.h"
#include "platform/services/StandardOutput.h"
#include "platform/services/StatusBar.h"
#include "platform/services/SystemLog.h"
#include "platform/services/Windows.h"
#include "platform/services/WordCompletion.h"
#include "platform/services/Workspace.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QHash>
#include <QMimeData>
#include <QPoint>
#include <QPointer>
#include <map>
#include <memory>

class QSystemTrayIcon;

namespace platform::linuxdesk {

namespace sni {
class StatusNotifierTray;
}
namespace wayland {
class DataControlClipboard;
}
namespace gnome {
class ShellWindows;
}
class FrontWindows;

// Reads the selection file at every query. A selection being written by velmora-select is
// waited for, a little, with the caller's idle routine; a missing, empty or unreadable file is
// no selection, and lines that are not file URIs are passed over.
//
// A selected item renamed since the last query (by a Velmora command, or in the file manager)
// is still selected: the item is known by its identity from that query and found again in its
// folder, and the selection file is rewritten with its new path.
class LinuxFinder : public FinderService {
public:
    explicit LinuxFinder(QByteArray selectionFolder);
    OSStatus getSelection(AEIdleUPP idle, AEDescList* list) override;
    OSStatus getObjectAsAlias(const AEDesc& spec, AliasHandle* alias, AEIdleUPP idle) override;
    // File managers watch their folders and redraw changed items by themselves.
    OSStatus updateItemAlias(const AliasHandle& alias) override;

private:
    std::vector<QByteArray> followRenames(std::vector<QByteArray> paths);
    QByteArray m_selectionFolder;
    QHash<QByteArray, ItemIdentity> m_identities;
};

// The selection file always answers for the Finder, so the Finder is always "running". The
// front application is the one of the window in front as the menu opened (FrontWindows.h), named
// by its desktop entry, which is also its "bundle"; browsers are found by their executables.
class LinuxProcesses : public ProcessService {
public:
    explicit LinuxProcesses(FrontWindows& front);
    OSStatus findProcessBySignature(OSType creator, OSType type, ProcessSerialNumber* psn) override;
    OSStatus frontProcess(ProcessSerialNumber* psn) override;
    std::optional<QString> processName(const ProcessSerialNumber& psn) override;
    std::optional<QString> processBundleLocation(const ProcessSerialNumber& psn) override;
    // Bringing Velmora forward raises its visible windows; an alert shown next activates itself.
    OSStatus setFrontProcess(const ProcessSerialNumber& psn) override;
    bool canHideOthers(const ProcessSerialNumber& psn) override;

private:
    FrontWindows& m_front;
};

// The X11 CLIPBOARD selection through QClipboard: one item, whose flavors are the MIME types the
// owner offers (see FlavorTypes.h). Qt waits for an owner that does not answer for a bounded time
// (five seconds) and then reports nothing. Linux has no legacy scrap.
// The clipboard, from the source Velmora can vouch for on this session: X11 (X11 sessions, and
// GNOME's Wayland session, whose XWayland hands X11 clients the clipboard in full); the
// compositor's data control on other Wayland sessions (KDE Plasma, wlroots), which give X11
// clients the clipboard only while an X11 window has the focus; and none where neither holds,
// which reads as an empty clipboard. The choice is made once and logged. On GNOME's Wayland
// session the text Velmora copies is handed to the Shell through Velmora's extension when it
// answers: the X server may refuse Velmora's own claim on the clipboard.
class LinuxPasteboard : public PasteboardService {
public:
    enum class Source { X11, DataControl, None };

    LinuxPasteboard();
    // The clipboard outlives every desktop made in a process: the watch ends with this one.
    ~LinuxPasteboard() override;
    PasteboardSyncFlags synchronize() override;
    UInt64 changeCount() override;
    OSStatus clear() override;
    OSStatus itemCount(ItemCount* count) override;
    OSStatus itemIdentifier(CFIndex index, PasteboardItemID* item) override;
    OSStatus flavorTypes(PasteboardItemID item, QStringList* flavors) override;
    OSStatus copyItemFlavorData(PasteboardItemID item, const QString& flavor,
                                QByteArray* data) override;
    OSStatus putItemFlavor(PasteboardItemID item, const QString& flavor, const QByteArray& data,
                           PasteboardFlavorFlags flags) override;
    std::optional<QByteArray> scrapFlavor(ScrapFlavorType type) override;
    bool waitForChange(std::chrono::milliseconds limit) override;

    Source source() const { return m_source; }

private:
    bool ownsClipboard() const;
    void reconnectIfGone();
    UInt64 dataControlCount() const;
    bool putThroughShell(const QString& flavor, const QByteArray& data);
    // The MIME types there are, Qt's own left out.
    QStringList offeredTypes() const;
    Source m_source = Source::X11;
    std::unique_ptr<wayland::DataControlClipboard> m_dataControl;
    QElapsedTimer m_reconnected;
    UInt64 m_countBase = 0;
    bool m_modified = true;
    UInt64 m_changes = 1;
    UInt64 m_seenChanges = 0;
    // What this process offers, as last handed to the clipboard (which owns it).
    QPointer<QMimeData> m_offered;
    QMetaObject::Connection m_watch;
    // GNOME Shell's clipboard, on GNOME's Wayland session only; and the change count the last
    // clear left, which is still the count while nothing has changed the clipboard since.
    gnome::ShellWindows* m_shell = nullptr;
    UInt64 m_clearedAt = 0;
};

// A modal QMessageBox with the critical icon.
// The save panel is Qt's file dialog in save mode, which asks before replacing a file.
// The save panel and the folder dialog start in the folder the user last chose in either, for as
// long as Velmora runs, else in the home folder: never in the folder Velmora was started from.
class LinuxAlerts : public AlertService {
public:
    explicit LinuxAlerts(QString home) : m_home(std::move(home)) {}
    int runStopAlert(const QString& message, const std::optional<QString>& detail,
                     const QStringList& buttons) override;
    std::optional<QString> runSavePanel(const QString& requiredType,
                                        const QString& initialName) override;
    // Qt's own folder dialog, the message on a line of its own above the dialog's rows; a
    // desktop's native one has no room for it.
    std::optional<QString> runChooseFolder(const QString& title, const QString& button,
                                           const QString& message) override;

private:
    QString startFolder() const;
    QString m_home;
    QString m_lastFolder;
};

// The beep of the display server, and the freedesktop sound theme played by whichever of
// pw-play, paplay or canberra-gtk-play is installed.
class LinuxSounds : public SoundService {
public:
    void beep() override;
    bool playSound(const QString& name) override;
};

// Standard error and syslog.
class LinuxLog : public LogService {
public:
    LinuxLog();
    void log(const QString& line) override;
};

class LinuxOutput : public OutputService {
public:
    void write(const QString& text) override;
};

// Qt's own windows; the window manager decides whether a window may take the focus from the
// application in front, so the window is also raised and asked to be activated.
class LinuxWindows : public WindowService {
public:
    void makeKeyAndOrderFront(QWidget* window) override;
};

// The system word list, /usr/share/dict/words, indexed on first use and kept for the process.
// A missing, unreadable or empty list is no word list.
class LinuxWordCompletion : public WordCompletionService {
public:
    std::optional<QStringList> completions(const QString& partial) override;

private:
    std::unique_ptr<WordIndex> m_index;
    bool m_loaded = false;
};

// Tells the user something went wrong that has no window to say it in: a desktop notification
// (org.freedesktop.Notifications) from "Velmora", or, where no notification server takes it
// (no session bus, no server on it), a window of its own; the same line goes to the log.
void ShowDesktopNotice(const QString& text);

// A D-Bus signal on the session bus: interface io.velmora.DistributedNotifications, member
// Notification, arguments (name, object), from the path /io/velmora/Notifications.
class LinuxNotifications : public NotificationService {
public:
    void postDistributed(const QString& name, const QString& object,
                         bool deliverImmediately) override;
    void deliverUserNotice(const QString& text) override { ShowDesktopNotice(text); }
};

// The applications scripts can talk to on this desktop. The Finder's part is the desktop's own
// picture setting (DesktopBackground.h). Preview is whichever program opens pictures: a new
// document from the clipboard is the clipboard's picture saved as "Clipboard.png" in the
// temporary-items folder, replacing the one before, and opened. Mail has no scriptable
// counterpart here.
class LinuxScripting : public ScriptingService {
public:
    LinuxScripting(DesktopFamily desktop, FrontWindows& front)
        : m_desktop(desktop), m_front(front) {}
    ScriptApplication* application(const QString& name) override;
    void didRun(const QString& source, OSStatus status) override;

private:
    DesktopFamily m_desktop;
    FrontWindows& m_front;
    std::map<QString, std::unique_ptr<ScriptApplication>> m_applications;
};

class LinuxWorkspace : public WorkspaceService {
public:
    // Icons come from the theme the desktop names; when it names none, or one that is not
    // installed, from an installed theme.
    LinuxWorkspace();
    // xdg-open, which finds the default application only after it has started: when it then
    // fails (no application for the type, none installed), the user gets a desktop notice.
    bool openFile(const QString& path) override;
    std::optional<QIcon> iconForFile(const QString& path) override;
    // Desktop entries whose Name is `name`, in the XDG data folders' order.
    std::optional<QString> fullPathForApplication(const QString& name) override;
    bool launchApplication(const QString& path) override;
    // The file manager's org.freedesktop.FileManager1 interface; without one, the folder opens
    // (and without any application for folders, the user is told).
    bool selectFile(const QString& path) override;
    // GIO file managers (Nautilus, Nemo, Caja) draw an item's custom icon from its
    // metadata::custom-icon, kept by the gvfs metadata daemon; without one nothing is told.
    void customIconChanged(const QString& path, const std::optional<QString>& iconFile) override;
};

class LinuxLocations : public Locations {
public:
    // The runtime, cache, data and configuration folders are the values of XDG_RUNTIME_DIR,
    // XDG_CACHE_HOME, XDG_DATA_HOME and XDG_CONFIG_HOME.
    explicit LinuxLocations(QString home, QByteArray runtimeDir = {}, QByteArray cacheHome = {},
                            QByteArray dataHome = {}, QByteArray configHome = {});
    QString home() const override { return m_home; }
    QString resourceDir() const override;
    // Checked at every call, since the folder may be removed or changed while Velmora runs.
    QString temporaryItems() const override;
    QString fileMappingTable() const override { return QStringLiteral("/etc/mime.types"); }
    QString helperPrograms() const override;
    QString dataHome() const override;
    QString cacheHome() const override;
    QString configHome() const override;

private:
    QString m_home;
    QByteArray m_runtimeDir;
    QByteArray m_cacheHome;
    QByteArray m_dataHome;
    QByteArray m_configHome;
};

class LinuxApplication : public ApplicationService {
public:
    void terminate() override;
    QDateTime now() override { return QDateTime::currentDateTimeUtc(); }
};

// The tray icon. Where a StatusNotifierItem watcher is on the session bus (KDE Plasma, GNOME's
// AppIndicator extension, waybar, most panels of today) the item is Velmora's own
// StatusNotifierItem, whose host draws the exported menu at the icon on any click and sends a
// middle click as SecondaryActivate. While no watcher is there, an XEmbed tray icon stands in:
// a left click opens the menu as a right click does, as a status menu should, and a middle or
// double click is the other activation.
class LinuxStatusItem : public StatusItem {
public:
    LinuxStatusItem();
    ~LinuxStatusItem() override;
    void setImage(const QIcon& image, const QString& name) override;
    // Tray hosts draw their own highlight while a menu is open.
    void setHighlightMode(bool highlight) override;
    QMenu* menu() const override { return m_menu; }
    void setMenu(QMenu* menu) override;
    void setOtherActivation(std::function<void()> handler) override {
        m_other = std::move(handler);
    }

private:
    void showWhereHosted();
    void popUpAt(QPoint place);

    std::unique_ptr<sni::StatusNotifierTray> m_statusNotifier;
    // The selection's folder, whose changes the hosted menu follows.
    QFileSystemWatcher m_inputs;
    // Made only while no watcher is there: Qt's tray, once made, would itself take the
    // StatusNotifierItem path if a host was there then.
    std::unique_ptr<QSystemTrayIcon> m_xembed;
    QIcon m_image;
    QMenu* m_menu = nullptr;
    bool m_hosted = false;
    std::function<void()> m_other;
};

class LinuxStatusBar : public StatusBarService {
public:
    std::unique_ptr<StatusItem> statusItemWithLength(double length) override;
};

} // namespace platform::linuxdesk
