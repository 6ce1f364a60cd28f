// The windows of other applications on an X11 display, through the connection Qt's xcb
// platform opened: which client windows there are and whose, their titles, the active one, and
// keystrokes sent to the window the user was working in.
//
// Window managers that follow EWMH keep _NET_CLIENT_LIST_STACKING and _NET_ACTIVE_WINDOW on the
// root window; without one, the root's children and the input focus stand in for them. Off X11
// (Wayland, the offscreen platform) there are no windows to see and no keystroke is sent.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <sys/types.h>
#include <vector>

namespace platform::linuxdesk::x11 {

using Window = std::uint32_t;

bool Available();

// Top-level client windows, the bottom one first.
std::vector<Window> ClientWindowsBottomToTop();
// The process that says it owns the window (_NET_WM_PID).
std::optional<pid_t> WindowProcess(Window window);
// _NET_WM_NAME, else WM_NAME; none when the window has neither.
std::optional<QString> WindowTitle(Window window);
// The class part of WM_CLASS.
QString WindowClass(Window window);

bool IsOwnWindow(Window window);
// Whether the window is still there.
bool WindowExists(Window window);

// The active window now. When it is Velmora's own (the menu, an alert) or a panel's, the window
// active before it stands in, while it exists; when the server reports none, there is none.
std::optional<Window> FrontWindowNow();
// From now on every change of _NET_ACTIVE_WINDOW is followed, so that the window the user works
// in is known even when opening the menu or an alert has taken the focus.
void WatchActiveWindow();
// Asks the window manager to activate the window, and waits a moment for it to happen; false
// when it did not.
bool ActivateWindow(Window window);

// Iconifies, as the desktop's own "minimise" does, every top-level window of the applications
// other than the front window's and Velmora.
bool HideOtherApplications(Window front);

enum class Keystroke { Copy, Paste };
// Activates the window and types Ctrl+C or Ctrl+V into it with XTest; returns once the server
// has processed the keys (and, for the copy, once the clipboard has a new owner or a short wait
// has passed). False, with nothing typed, when the window is gone or does not become active.
bool SendKeystroke(Window target, Keystroke keystroke);

} // namespace platform::linuxdesk::x11
