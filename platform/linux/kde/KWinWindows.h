// KWin's windows, through a script of Velmora's (resources/kwin/KWinWindows.js) that KWin runs.
// KWin shows no native window to an X11 client and offers no call that lists windows to an
// ordinary program; it runs scripts loaded over D-Bus (org.kde.KWin /Scripting loadScript, then
// run on the script's own object), which see every window and answer through D-Bus calls.
//
// One load of the script stays while Velmora runs and reports the active window at each change;
// each other question (the windows, whether one is still there, activating one, hiding the
// others) is a load of its own, run once and unloaded, a few milliseconds each. The answers come
// to an object Velmora exports on a bus connection of its own, whose messages a thread of its own
// handles: the caller waits for an answer without running the menu's event loop, and every wait
// is bounded. Only the owner of org.kde.KWin is believed.
//
// A KWin that is not there, a script that fails to load, or a report that never comes is said
// once in the log and means no window at all; the script is loaded again at the next use once a
// pause has passed.
#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace platform::linuxdesk::kde {

struct KWinWindow {
    quint64 id = 0;
    // The Wayland application id or the X11 window's class.
    QString resourceClass;
    // The name without ".desktop" of the desktop entry KWin matched the window with, or empty.
    QString desktopFileName;
    QString caption;
    quint32 pid = 0; // 0 when KWin does not know it
};

class KWinWindows {
public:
    // `script`: the script's body, read from that file when first needed. The watching load is
    // started at once, so that its first report is there before the first menu opens.
    explicit KWinWindows(QString script);
    ~KWinWindows();
    KWinWindows(const KWinWindows&) = delete;
    KWinWindows& operator=(const KWinWindows&) = delete;

    // Whether KWin is on the bus and the watching script has reported.
    bool available();
    // The active window as KWin last reported it. When that is Velmora's own or the shell's (a
    // panel, the desktop), the application window active last before it stands in, while it is
    // open.
    std::optional<KWinWindow> activeWindow();
    // Every application's window but Velmora's and the shell's, the topmost first.
    std::vector<KWinWindow> windows();
    bool exists(quint64 id);
    // Minimises the windows of every application but the window's own and Velmora.
    bool hideOthers(quint64 front);
    bool activate(quint64 id);
    // Whether KWin reports the window active within `limit`.
    bool waitUntilActive(quint64 id, std::chrono::milliseconds limit);

    struct Shared;

private:
    struct Connection;
    bool startWatching();
    void stopWatching();
    bool waitForFirstReport(std::unique_lock<std::mutex>& lock);
    void becomeAbsent(const QString& why);
    // The script's answer to one request; none when it did not come in time.
    std::optional<QByteArray> ask(const QString& request, quint64 window);
    std::optional<int> load(const QString& request, quint64 window, const QString& plugin);
    bool unload(const QString& plugin);

    std::shared_ptr<Shared> m_shared;
    std::unique_ptr<Connection> m_connection;
    QString m_scriptPath;
    QByteArray m_scriptBody;
    // Where this KWin puts a loaded script's object: under /Scripting (Plasma 6) or at the root.
    bool m_scriptsUnderScripting = true;
    QString m_said;
    std::chrono::steady_clock::time_point m_askAgainAt;
    std::chrono::steady_clock::time_point m_watchLoadedAt;
    bool m_watchLoaded = false;
    unsigned m_requests = 0;
};

} // namespace platform::linuxdesk::kde
