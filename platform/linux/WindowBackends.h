// The desktops Velmora asks about windows, each behind the front-window service's interface:
// the X server, Velmora's GNOME Shell extension, Velmora's KWin script with KWin's fake input,
// and a wlroots compositor's toplevel list with its virtual keyboard. Which of them a session
// offers is decided here, once, from what the session is.
#pragma once

#include "platform/linux/FrontWindows.h"

#include <memory>
#include <vector>

namespace platform::linuxdesk {

// The backends of this session, in order of preference: the desktop's own list of its windows
// first (GNOME Shell's, KWin's, a wlroots compositor's), then the X server, which on a Wayland
// session sees the XWayland windows alone. On GNOME's Xorg session the X server sees every window
// and is asked alone.
std::vector<std::unique_ptr<WindowBackend>> SessionWindowBackends();

} // namespace platform::linuxdesk
