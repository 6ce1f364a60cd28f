#include "platform/linux/WindowBackends.h"

#include "platform/linux/gnome/ShellWindows.h"
#include "platform/linux/kde/KWinWindows.h"
#include "platform/linux/wayland/FakeInput.h"
#include "platform/linux/wayland/ForeignToplevels.h"
#include "platform/linux/wayland/VirtualKeyboard.h"
#include "platform/linux/wayland/WaylandConnection.h"
#include "platform/linux/x11/X11Windows.h"
#include "platform/services/Locations.h"
#include "platform/services/Platform.h"

#include <QByteArrayList>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace platform::linuxdesk {

namespace {

class X11Backend : public WindowBackend {
public:
    X11Backend() { x11::WatchActiveWindow(); }
    QString name() const override { return QStringLiteral("the X server"); }
    bool available() override { return x11::Available(); }
    std::optional<WindowInfo> activeWindow() override {
        const auto window = x11::FrontWindowNow();
        return window ? std::optional(info(*window)) : std::nullopt;
    }
    std::vector<WindowInfo> windows() override {
        std::vector<WindowInfo> found;
        const std::vector<x11::Window> bottomFirst = x11::ClientWindowsBottomToTop();
        for (auto window = bottomFirst.rbegin(); window != bottomFirst.rend(); ++window) {
            if (!x11::IsOwnWindow(*window))
                found.push_back(info(*window));
        }
        return found;
    }
    bool exists(quint64 id) override { return x11::WindowExists(static_cast<x11::Window>(id)); }
    bool hideOthers(const WindowInfo& front) override {
        return x11::HideOtherApplications(static_cast<x11::Window>(front.id));
    }
    bool activate(quint64 id) override { return x11::ActivateWindow(static_cast<x11::Window>(id)); }
    bool sendKeystroke(const WindowInfo& target, Keystroke keystroke) override {
        return x11::SendKeystroke(static_cast<x11::Window>(target.id), keystroke == Keystroke::Copy
                                                                           ? x11::Keystroke::Copy
                                                                           : x11::Keystroke::Paste);
    }

private:
    static WindowInfo info(x11::Window window) {
        return WindowInfo{window, x11::WindowClass(window), x11::WindowTitle(window).value_or(""),
                          x11::WindowProcess(window)};
    }
};

class ShellBackend : public WindowBackend {
public:
    QString name() const override { return QStringLiteral("Velmora's GNOME Shell extension"); }
    bool available() override { return m_shell.available(); }
    std::optional<WindowInfo> activeWindow() override { return convert(m_shell.focusedWindow()); }
    std::vector<WindowInfo> windows() override {
        std::vector<WindowInfo> found;
        for (const gnome::ShellWindow& window : m_shell.windows())
            found.push_back(*convert(window));
        return found;
    }
    bool exists(quint64 id) override { return m_shell.exists(id); }
    bool hideOthers(const WindowInfo& front) override { return m_shell.hideOthers(front.id); }
    bool activate(quint64 id) override { return m_shell.activate(id); }
    // After the copy, the clipboard's new owner is told to Qt by an event: until it has been
    // handled the copied text would read as the old one. Events are handled until Qt says the
    // clipboard changed, for a moment at most.
    bool sendKeystroke(const WindowInfo& target, Keystroke keystroke) override {
        QClipboard* clipboard = QGuiApplication::clipboard();
        QEventLoop loop;
        if (clipboard)
            QObject::connect(clipboard, &QClipboard::dataChanged, &loop, &QEventLoop::quit);
        const bool sent = m_shell.sendKeystroke(target.id, keystroke == Keystroke::Copy
                                                               ? gnome::ShellKeystroke::Copy
                                                               : gnome::ShellKeystroke::Paste);
        if (sent && clipboard && keystroke == Keystroke::Copy) {
            QTimer::singleShot(kClipboardWait, &loop, &QEventLoop::quit);
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        }
        return sent;
    }

private:
    static constexpr std::chrono::milliseconds kClipboardWait{300};
    static std::optional<WindowInfo> convert(const std::optional<gnome::ShellWindow>& window) {
        if (!window)
            return std::nullopt;
        return WindowInfo{window->id, window->applicationId, window->title,
                          window->pid ? std::optional<pid_t>(window->pid) : std::nullopt};
    }
    gnome::ShellWindows& m_shell = gnome::SessionShell();
};

// KWin's windows through Velmora's script, the keystrokes through KWin's fake input.
class KWinBackend : public WindowBackend {
public:
    // The script is loaded once the event loop runs, when the platform's folders are known: its
    // first report is then there before the first menu opens.
    KWinBackend() {
        QTimer::singleShot(0, &m_context, [this] { kwin(); });
    }
    QString name() const override { return QStringLiteral("KWin, through Velmora's script"); }
    bool available() override { return kwin().available(); }
    std::optional<WindowInfo> activeWindow() override {
        const auto window = kwin().activeWindow();
        return window ? std::optional(convert(*window)) : std::nullopt;
    }
    std::vector<WindowInfo> windows() override {
        std::vector<WindowInfo> found;
        for (const kde::KWinWindow& window : kwin().windows())
            found.push_back(convert(window));
        return found;
    }
    bool exists(quint64 id) override { return kwin().exists(id); }
    bool hideOthers(const WindowInfo& front) override { return kwin().hideOthers(front.id); }
    bool activate(quint64 id) override { return kwin().activate(id); }
    // Fake input types into whatever has the keyboard: the window must be in front first.
    bool sendKeystroke(const WindowInfo& target, Keystroke keystroke) override {
        return m_input.available() && kwin().activate(target.id) &&
               kwin().waitUntilActive(target.id, kActivationLimit) &&
               m_input.type(keystroke == Keystroke::Copy ? wayland::FakeKeystroke::Copy
                                                         : wayland::FakeKeystroke::Paste);
    }

private:
    static constexpr std::chrono::milliseconds kActivationLimit{1000};
    static WindowInfo convert(const kde::KWinWindow& window) {
        // A native window's class is its application id; KWin takes the desktop entry's name
        // from it, or from the entry it matched an X11 window with.
        return WindowInfo{window.id, window.resourceClass, window.caption,
                          window.pid ? std::optional<pid_t>(window.pid) : std::nullopt};
    }
    kde::KWinWindows& kwin() {
        if (!m_kwin)
            m_kwin = std::make_unique<kde::KWinWindows>(platform::locations().resourceDir() +
                                                        QStringLiteral("/kwin/KWinWindows.js"));
        return *m_kwin;
    }
    QObject m_context;
    std::unique_ptr<kde::KWinWindows> m_kwin;
    wayland::FakeInput m_input;
};

// A wlroots compositor's own list of toplevels, native and XWayland windows alike, and its
// virtual keyboard.
class CompositorBackend : public WindowBackend {
public:
    CompositorBackend(std::unique_ptr<wayland::ForeignToplevels> toplevels,
                      std::unique_ptr<wayland::VirtualKeyboard> keyboard, bool honoursMinimise)
        : m_toplevels(std::move(toplevels)), m_keyboard(std::move(keyboard)),
          m_honoursMinimise(honoursMinimise) {}
    QString name() const override { return QStringLiteral("the compositor's toplevel list"); }
    bool minimises() const override { return m_honoursMinimise; }
    bool available() override { return m_toplevels->usable(); }
    // What the compositor has said up to now, a moment's wait at most. While one of Velmora's
    // own windows is activated (an alert, the preference window), the toplevel activated last
    // before it stands in, while it is there; when the compositor reports none activated, there
    // is none.
    std::optional<WindowInfo> activeWindow() override {
        m_toplevels->synchronize(kOpeningLimit);
        const auto active = m_toplevels->activated();
        if (!active)
            return std::nullopt;
        if (!isOwn(*active))
            return info(*active);
        for (const wayland::Toplevel& toplevel : m_toplevels->toplevels())
            if (!isOwn(toplevel) && toplevel.activatedAt > 0)
                return info(toplevel);
        return std::nullopt;
    }
    std::vector<WindowInfo> windows() override {
        m_toplevels->synchronize(kOpeningLimit);
        std::vector<WindowInfo> found;
        for (const wayland::Toplevel& toplevel : m_toplevels->toplevels())
            if (!isOwn(toplevel))
                found.push_back(info(toplevel));
        return found;
    }
    bool exists(quint64 id) override { return m_toplevels->find(id).has_value(); }
    // Minimised as the compositor reports them; false when one of them stays as it was.
    bool hideOthers(const WindowInfo& front) override {
        if (!m_honoursMinimise || !m_toplevels->find(front.id))
            return false;
        std::vector<quint64> hidden;
        for (const wayland::Toplevel& toplevel : m_toplevels->toplevels()) {
            if (!isOwn(toplevel) && toplevel.applicationId != front.applicationId &&
                !toplevel.minimized && m_toplevels->setMinimized(toplevel.id, true))
                hidden.push_back(toplevel.id);
        }
        m_toplevels->synchronize(kActivationLimit);
        return std::all_of(hidden.begin(), hidden.end(), [this](quint64 id) {
            const auto toplevel = m_toplevels->find(id);
            return !toplevel || toplevel->minimized;
        });
    }
    bool activate(quint64 id) override {
        return m_toplevels->activate(id) && m_toplevels->waitUntilActivated(id, kActivationLimit);
    }
    // The keys go to whichever window has the keyboard: the target is activated first, and typed
    // into only once the compositor, having taken in everything asked before, reports it still
    // there and activated.
    bool sendKeystroke(const WindowInfo& target, Keystroke keystroke) override {
        if (!m_keyboard || !m_keyboard->usable() || !m_toplevels->synchronize(kActivationLimit) ||
            !activate(target.id))
            return false;
        return m_keyboard->type(keystroke == Keystroke::Copy
                                    ? wayland::VirtualKeyboard::Shortcut::Copy
                                    : wayland::VirtualKeyboard::Shortcut::Paste);
    }

private:
    // A menu opening waits no longer on the compositor than this.
    static constexpr std::chrono::milliseconds kOpeningLimit{100};
    static constexpr std::chrono::milliseconds kActivationLimit{1000};

    static WindowInfo info(const wayland::Toplevel& toplevel) {
        return WindowInfo{toplevel.id, toplevel.applicationId, toplevel.title, std::nullopt};
    }
    // The compositor lists Velmora's windows, drawn through XWayland, under their X11 class.
    bool isOwn(const wayland::Toplevel& toplevel) {
        if (m_ownClass.isEmpty()) {
            for (QWindow* window : QGuiApplication::topLevelWindows()) {
                if (window->handle() && QGuiApplication::platformName() == QLatin1String("xcb"))
                    m_ownClass = x11::WindowClass(static_cast<x11::Window>(window->winId()));
                if (!m_ownClass.isEmpty())
                    break;
            }
        }
        return !m_ownClass.isEmpty() && toplevel.applicationId == m_ownClass;
    }

    std::unique_ptr<wayland::ForeignToplevels> m_toplevels;
    std::unique_ptr<wayland::VirtualKeyboard> m_keyboard;
    bool m_honoursMinimise;
    QString m_ownClass;
};

bool gnomeWayland() {
    const QByteArray desktop = qgetenv("XDG_CURRENT_DESKTOP");
    return qgetenv("XDG_SESSION_TYPE") == "wayland" &&
           desktop.split(':').contains(QByteArrayLiteral("GNOME"));
}

// KDE Plasma's Wayland session, or any session whose compositor is KWin.
bool kwinWayland() {
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    if (qgetenv("XDG_CURRENT_DESKTOP").split(':').contains(QByteArrayLiteral("KDE")))
        return true;
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() &&
           bus.interface()->isServiceRegistered(QStringLiteral("org.kde.KWin"));
}

// The compositors known to minimise a toplevel when asked through the toplevel list. sway, river
// and Hyprland take the request and leave the window as it was; one not named here is not trusted
// to do it.
bool compositorHonoursMinimise() {
    const QByteArrayList desktops = qgetenv("XDG_CURRENT_DESKTOP").toLower().split(':');
    return qEnvironmentVariableIsEmpty("SWAYSOCK") &&
           (desktops.contains(QByteArrayLiteral("labwc")) ||
            desktops.contains(QByteArrayLiteral("wayfire")));
}

std::unique_ptr<WindowBackend> compositorBackend() {
    if (qgetenv("XDG_SESSION_TYPE") != "wayland" && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return nullptr;
    const auto connection = wayland::WaylandConnection::session();
    auto toplevels = wayland::ForeignToplevels::connect(connection);
    if (!toplevels)
        return nullptr;
    return std::make_unique<CompositorBackend>(std::move(toplevels),
                                               wayland::VirtualKeyboard::connect(connection),
                                               compositorHonoursMinimise());
}

} // namespace

std::vector<std::unique_ptr<WindowBackend>> SessionWindowBackends() {
    std::vector<std::unique_ptr<WindowBackend>> backends;
    if (gnomeWayland())
        backends.push_back(std::make_unique<ShellBackend>());
    else if (kwinWayland())
        backends.push_back(std::make_unique<KWinBackend>());
    else if (auto compositor = compositorBackend())
        backends.push_back(std::move(compositor));
    backends.push_back(std::make_unique<X11Backend>());
    return backends;
}

} // namespace platform::linuxdesk
