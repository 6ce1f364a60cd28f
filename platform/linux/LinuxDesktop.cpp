#include "platform/linux/LinuxDesktop.h"

#include "platform/linux/LinuxServices.h"
#include "platform/linux/SelectionFile.h"

namespace platform::linuxdesk {

DesktopEnvironment DesktopEnvironment::fromProcess() {
    return DesktopEnvironment{qgetenv("XDG_RUNTIME_DIR"), qgetenv("XDG_CACHE_HOME"),
                              qgetenv("HOME")};
}

struct LinuxDesktop::Backends {
    explicit Backends(const DesktopEnvironment& environment)
        : finder(platform::linuxdesk::selectionFolder(environment.runtimeDir, environment.cacheHome,
                                                      environment.home)),
          locations(QString::fromLocal8Bit(environment.home)) {}
    LinuxApplication application;
    LinuxFinder finder;
    LinuxLocations locations;
    LinuxProcesses processes;
    LinuxStatusBar statusBar;
    LinuxWorkspace workspace;
};

LinuxDesktop::LinuxDesktop(const DesktopEnvironment& environment)
    : m_backends(std::make_unique<Backends>(environment)) {
    m_services = Services{&m_backends->application, &m_backends->finder,    &m_backends->locations,
                          &m_backends->processes,   &m_backends->statusBar, &m_backends->workspace};
}

LinuxDesktop::~LinuxDesktop() = default;

} // namespace platform::linuxdesk
