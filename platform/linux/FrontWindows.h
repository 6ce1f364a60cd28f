// The window the user works in, and what Velmora may do to it and to the other applications'
// windows, whichever desktop tells it: the X server on X11 and on XWayland, Velmora's GNOME
// Shell extension on GNOME's Wayland session, Velmora's KWin script on KWin's.
//
// The front window is taken when the menu opens and kept until the next opening: it is what the
// desktop reports active at that moment, Velmora's own windows and the shell's excepted. A
// desktop that reports none, or a window Velmora cannot see, means there is no front window;
// nothing falls back on an older one. The keystrokes go to that window only, and only while it
// still exists.
#pragma once

#include <QString>
#include <chrono>
#include <memory>
#include <optional>
#include <sys/types.h>
#include <vector>

namespace platform::linuxdesk {

struct WindowInfo {
    // The backend's own name for the window.
    quint64 id = 0;
    // The Wayland application id, or WM_CLASS's class for an X11 window; on GNOME, for a window
    // with neither, the file name without ".desktop" of the entry the Shell matched it with.
    QString applicationId;
    QString title;
    std::optional<pid_t> pid;
};

enum class Keystroke { Copy, Paste };

// What one desktop offers. A backend answers from its own point of view only: the window ids it
// gives are the only ones it takes back.
class WindowBackend {
public:
    virtual ~WindowBackend() = default;
    virtual QString name() const = 0;
    // Whether the backend can answer now (its desktop is there and speaks its language).
    virtual bool available() = 0;
    // The active window now, Velmora's and the shell's own passed over; none when the desktop
    // reports none or one this backend cannot see.
    virtual std::optional<WindowInfo> activeWindow() = 0;
    // Every other application's top-level window, the topmost first.
    virtual std::vector<WindowInfo> windows() = 0;
    virtual bool exists(quint64 id) = 0;
    // Minimises every window of the applications other than the window's own and Velmora.
    virtual bool hideOthers(const WindowInfo& front) = 0;
    // Whether a window asked to minimise really is: some compositors take the request and leave
    // the window as it was.
    virtual bool minimises() const { return true; }
    virtual bool activate(quint64 id) = 0;
    // Activates the window and types Ctrl+C or Ctrl+V into it; false, with nothing typed, when
    // the window is gone or cannot be brought in front.
    virtual bool sendKeystroke(const WindowInfo& target, Keystroke keystroke) = 0;
};

// Chooses a backend for each capability from what the session offers, asks them, and keeps the
// window taken at the last opening.
class FrontWindows {
public:
    enum class Capability { FrontWindow, WindowList, HideOthers, Keystrokes };
    // The backends in order of preference; for each capability the first available one serves.
    explicit FrontWindows(std::vector<std::unique_ptr<WindowBackend>> backends);
    ~FrontWindows();
    FrontWindows(const FrontWindows&) = delete;
    FrontWindows& operator=(const FrontWindows&) = delete;

    // The backends this session offers: Velmora's GNOME Shell extension before the X server on
    // GNOME's Wayland session, Velmora's KWin script and KWin's fake input before it on KWin's,
    // the X server alone elsewhere.
    static std::unique_ptr<FrontWindows> forSession();

    // Takes the front window as the desktop reports it now. A serial names each taking.
    void rememberAtOpening();
    // For the menu's build: the window the opening took a moment ago serves once; otherwise
    // (a menu opened without the status item's hook) it is taken now.
    void rememberUnlessJustTaken();
    std::optional<WindowInfo> front() const { return m_front; }
    unsigned serial() const { return m_serial; }
    // Every other application's window, the topmost first.
    std::vector<WindowInfo> windows();
    // Whether the others can be hidden around the window taken at the opening: the desktop that
    // reported it can minimise windows.
    bool canHideOthers();
    bool hideOthers();
    bool activateFront();
    bool sendKeystroke(Keystroke keystroke);

private:
    WindowBackend* backendFor(Capability capability);
    std::vector<std::unique_ptr<WindowBackend>> m_backends;
    // Who answered each capability last, so that a change is logged once.
    std::vector<QString> m_chosen;
    WindowBackend* m_frontBackend = nullptr;
    std::optional<WindowInfo> m_front;
    unsigned m_serial = 0;
    static constexpr std::chrono::seconds kSameOpening{1};
    std::chrono::steady_clock::time_point m_takenAt;
    bool m_unused = false;
};

// The front windows made last and still alive: the Linux desktop's, for the status item's
// opening hook.
FrontWindows* InstalledFrontWindows();
// Takes the front window if a Linux desktop is there.
void RememberFrontWindowAtOpening();

} // namespace platform::linuxdesk
