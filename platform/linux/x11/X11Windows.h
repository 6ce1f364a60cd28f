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

// Called as the status menu opens: the active window then, unless it is Velmora's own, is where
// the user was typing, and where keystrokes go.
void RememberActiveWindow();
// From now on every change of _NET_ACTIVE_WINDOW is remembered the same way, so that the window
// the user works in is known even when opening the menu or an alert has taken the focus.
void WatchActiveWindow();
// The window remembered last: the front application's.
std::optional<Window> RememberedWindow();
// Asks the window manager to activate the window, and waits a moment for it to happen.
void ActivateWindow(Window window);

// Iconifies, as the desktop's own "minimise" does, every top-level window of the applications
// other than the one of the remembered window and Velmora. False when no window is remembered.
bool HideOtherApplications();

enum class Keystroke { Copy, Paste };
// Activates the remembered window and types Ctrl+C or Ctrl+V into it with XTest; returns once
// the server has processed the keys (and, for the copy, once the clipboard has a new owner or a
// short wait has passed). False when there is no window to type into.
bool SendKeystroke(Keystroke keystroke);

} // namespace platform::linuxdesk::x11
