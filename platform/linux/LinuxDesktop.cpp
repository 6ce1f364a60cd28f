#include "platform/linux/LinuxDesktop.h"

#include "platform/linux/FrontWindows.h"
#include "platform/linux/LinuxServices.h"
#include "platform/linux/SelectionFile.h"
#include "platform/local/system/PreferenceStore.h"

#include <QFile>
#include <cstdio>

namespace platform::linuxdesk {

DesktopEnvironment DesktopEnvironment::fromProcess() {
    return DesktopEnvironment{
        qgetenv("XDG_RUNTIME_DIR"), qgetenv("XDG_CACHE_HOME"),      qgetenv("HOME"),
        qgetenv("XDG_CONFIG_HOME"), qgetenv("XDG_CURRENT_DESKTOP"), qgetenv("XDG_DATA_HOME")};
}

namespace {

// Settings live in $XDG_CONFIG_HOME/velmora, or ~/.config/velmora.
QString preferencesFolder(const DesktopEnvironment& environment) {
    if (!environment.configHome.isEmpty() && environment.configHome.startsWith('/'))
        return QFile::decodeName(environment.configHome) + QStringLiteral("/velmora");
    return QFile::decodeName(environment.home) + QStringLiteral("/.config/velmora");
}

} // namespace

void PreferX11OnWayland() {
    const bool wayland =
        qgetenv("XDG_SESSION_TYPE") == "wayland" || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!wayland || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "velmora: Wayland session without XWayland: no front application, "
                             "\"Hide Others\" or pasted keystrokes\n");
        return;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    std::fprintf(stderr, "velmora: Wayland session, running through XWayland: the front "
                         "application, \"Hide Others\" and pasted keystrokes reach native Wayland "
                         "windows on GNOME with Velmora's Shell extension and on KDE Plasma, "
                         "X11 ones everywhere\n");
}

struct LinuxDesktop::Backends {
    explicit Backends(const DesktopEnvironment& environment)
        : alerts(QString::fromLocal8Bit(environment.home)),
          finder(platform::linuxdesk::selectionFolder(environment.runtimeDir, environment.cacheHome,
                                                      environment.home)),
          locations(QString::fromLocal8Bit(environment.home), environment.runtimeDir,
                    environment.cacheHome, environment.dataHome, environment.configHome),
          preferences(preferencesFolder(environment)), processes(*front),
          scripting(DesktopFamilyFor(environment.currentDesktop), *front) {}
    std::unique_ptr<FrontWindows> front = FrontWindows::forSession();
    LinuxAlerts alerts;
    LinuxApplication application;
    LinuxFinder finder;
    LinuxLocations locations;
    LinuxLog log;
    LinuxNotifications notifications;
    LinuxOutput output;
    LinuxPasteboard pasteboard;
    PreferenceStore preferences;
    LinuxProcesses processes;
    LinuxScripting scripting;
    LinuxSounds sounds;
    LinuxStatusBar statusBar;
    LinuxWindows windows;
    LinuxWordCompletion wordCompletion;
    LinuxWorkspace workspace;
};

LinuxDesktop::LinuxDesktop(const DesktopEnvironment& environment)
    : m_backends(std::make_unique<Backends>(environment)) {
    m_services = ServicesOf(*m_backends);
}

LinuxDesktop::~LinuxDesktop() = default;

} // namespace platform::linuxdesk
