// GNOME Shell's windows through Velmora's own Shell extension, which exports them on the session
// bus (object /io/velmora/ShellWindows of org.gnome.Shell, interface io.velmora.ShellWindows,
// version 2) and answers only the owner of io.velmora.Velmora. On GNOME's Wayland session no
// other way shows a native window: _NET_ACTIVE_WINDOW is 0 while one is in front, and the
// Shell's own introspection refuses ordinary callers. The extension also takes text onto the
// Shell's own clipboard, which native windows paste from.
//
// Every call waits a bounded time. An extension that is missing, disabled, of another interface
// version, or stops answering is said once in the log and counts as absent; it is asked again at
// the next use, or, after a call that timed out, once a pause has passed.
#pragma once

#include <QString>
#include <chrono>
#include <optional>
#include <vector>

namespace platform::linuxdesk::gnome {

struct ShellWindow {
    quint64 id = 0;
    QString applicationId;
    QString title;
    quint32 pid = 0; // 0 when the Shell does not know it
};

enum class ShellKeystroke { Copy, Paste };

class ShellWindows {
public:
    static constexpr quint32 kInterfaceVersion = 2;

    bool available();
    // The focused window, Velmora's own and the Shell's passed over.
    std::optional<ShellWindow> focusedWindow();
    // The windows of the application, or of every application but Velmora when the id is
    // empty, the topmost first.
    std::vector<ShellWindow> windows(const QString& applicationId = {});
    bool exists(quint64 id);
    bool hideOthers(quint64 front);
    bool activate(quint64 id);
    bool sendKeystroke(quint64 id, ShellKeystroke keystroke);
    bool setClipboardText(const QString& text);

private:
    enum class State { Unknown, Present, Absent };
    // The reply's arguments; none, with the extension then counted absent, when no reply came.
    std::optional<QList<QVariant>> call(const QString& method, const QList<QVariant>& arguments,
                                        std::chrono::milliseconds limit);
    bool boolCall(const QString& method, const QList<QVariant>& arguments,
                  std::chrono::milliseconds limit);
    void becomeAbsent(const QString& why, bool timedOut);

    State m_state = State::Unknown;
    QString m_said;
    std::chrono::steady_clock::time_point m_askAgainAt;
};

// The one the front windows and the clipboard share, so that the extension's presence is
// learnt, and said in the log, once.
ShellWindows& SessionShell();

} // namespace platform::linuxdesk::gnome
