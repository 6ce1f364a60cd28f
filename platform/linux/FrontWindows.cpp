#include "platform/linux/FrontWindows.h"

#include "platform/linux/gnome/ShellWindows.h"
#include "platform/linux/kde/KWinWindows.h"
#include "platform/linux/wayland/FakeInput.h"
#include "platform/linux/x11/X11Windows.h"
#include "platform/services/Locations.h"
#include "platform/services/Platform.h"
#include "platform/services/SystemLog.h"

#include <QByteArrayList>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

namespace platform::linuxdesk {

namespace {

FrontWindows* gInstalled = nullptr;

const char* capabilityName(FrontWindows::Capability capability) {
    switch (capability) {
    case FrontWindows::Capability::FrontWindow:
        return "The front window";
    case FrontWindows::Capability::WindowList:
        return "The windows' titles";
    case FrontWindows::Capability::HideOthers:
        return "\"Hide Others\"";
    case FrontWindows::Capability::Keystrokes:
        return "The copy and paste keystrokes";
    }
    return "";
}

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

} // namespace

FrontWindows::FrontWindows(std::vector<std::unique_ptr<WindowBackend>> backends, Serves serves)
    : m_backends(std::move(backends)), m_serves(std::move(serves)), m_chosen(4) {
    gInstalled = this;
}

FrontWindows::~FrontWindows() {
    if (gInstalled == this)
        gInstalled = nullptr;
}

std::unique_ptr<FrontWindows> FrontWindows::forSession() {
    std::vector<std::unique_ptr<WindowBackend>> backends;
    // On GNOME's Xorg session the X server sees every window and the extension adds nothing.
    if (gnomeWayland())
        backends.push_back(std::make_unique<ShellBackend>());
    else if (kwinWayland())
        backends.push_back(std::make_unique<KWinBackend>());
    backends.push_back(std::make_unique<X11Backend>());
    return std::make_unique<FrontWindows>(std::move(backends),
                                          [](const WindowBackend&, Capability) { return true; });
}

WindowBackend* FrontWindows::backendFor(Capability capability) {
    WindowBackend* chosen = nullptr;
    for (const auto& backend : m_backends) {
        if (m_serves(*backend, capability) && backend->available()) {
            chosen = backend.get();
            break;
        }
    }
    QString& said = m_chosen[static_cast<std::size_t>(capability)];
    const QString now = chosen ? chosen->name() : QStringLiteral("nothing on this desktop");
    if (said != now) {
        said = now;
        NSLog(QStringLiteral("%1: %2").arg(QLatin1String(capabilityName(capability)), now));
    }
    return chosen;
}

void FrontWindows::rememberAtOpening() {
    ++m_serial;
    m_frontBackend = backendFor(Capability::FrontWindow);
    m_front = m_frontBackend ? m_frontBackend->activeWindow() : std::nullopt;
    m_takenAt = std::chrono::steady_clock::now();
    m_unused = true;
}

void FrontWindows::rememberUnlessJustTaken() {
    if (m_unused && std::chrono::steady_clock::now() - m_takenAt < kSameOpening) {
        m_unused = false;
        return;
    }
    rememberAtOpening();
    m_unused = false;
}

std::vector<WindowInfo> FrontWindows::windows() {
    WindowBackend* backend = backendFor(Capability::WindowList);
    return backend ? backend->windows() : std::vector<WindowInfo>{};
}

// Hiding and typing act on the front window, whose id only the backend that gave it knows.
bool FrontWindows::hideOthers() {
    WindowBackend* backend = backendFor(Capability::HideOthers);
    return m_front && backend == m_frontBackend && backend && backend->hideOthers(*m_front);
}

bool FrontWindows::activateFront() {
    return m_front && m_frontBackend && m_frontBackend->activate(m_front->id);
}

bool FrontWindows::sendKeystroke(Keystroke keystroke) {
    WindowBackend* backend = backendFor(Capability::Keystrokes);
    return m_front && backend == m_frontBackend && backend && backend->exists(m_front->id) &&
           backend->sendKeystroke(*m_front, keystroke);
}

FrontWindows* InstalledFrontWindows() {
    return gInstalled;
}

void RememberFrontWindowAtOpening() {
    if (gInstalled)
        gInstalled->rememberAtOpening();
}

} // namespace platform::linuxdesk
