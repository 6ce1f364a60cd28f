// The real Linux desktop behind every desktop service.
//
// The Finder's part is played by the selection file that the file managers' actions keep up
// to date (see velmora-select); the status item is a tray icon; files open with xdg-open;
// icons come from the icon theme.
#pragma once

#include "platform/services/Platform.h"

#include <QByteArray>
#include <memory>

namespace platform::linuxdesk {

// What the desktop takes from the environment, read once by main.
struct DesktopEnvironment {
    QByteArray runtimeDir;     // XDG_RUNTIME_DIR
    QByteArray cacheHome;      // XDG_CACHE_HOME
    QByteArray home;           // HOME
    QByteArray configHome;     // XDG_CONFIG_HOME
    QByteArray currentDesktop; // XDG_CURRENT_DESKTOP
    QByteArray dataHome;       // XDG_DATA_HOME
    static DesktopEnvironment fromProcess();
};

// Called before the application object is made. On a Wayland session no application may see
// another's windows or type into them, so Velmora asks Qt for X11 through XWayland (unless the
// user chose a platform with QT_QPA_PLATFORM), where the front application, "Hide Others" and
// the pasted keystrokes reach every X11 window. Says in the log what is unavailable.
void PreferX11OnWayland();

class LinuxDesktop {
public:
    explicit LinuxDesktop(const DesktopEnvironment& environment);
    ~LinuxDesktop();
    const Services& services() const { return m_services; }

private:
    struct Backends;
    std::unique_ptr<Backends> m_backends;
    Services m_services;
};

} // namespace platform::linuxdesk
