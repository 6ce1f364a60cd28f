#include "platform/services/Platform.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

Services gServices;

template <typename Service> Service& require(Service* service, const char* name) {
    if (!service) {
        std::fprintf(stderr, "velmora: the %s service is not installed\n", name);
        std::abort();
    }
    return *service;
}

} // namespace

void install(const Services& services) {
    gServices = services;
}

AlertService& alerts() {
    return require(gServices.alerts, "alert");
}
ApplicationService& application() {
    return require(gServices.application, "application");
}
FinderService& finder() {
    return require(gServices.finder, "Finder");
}
Locations& locations() {
    return require(gServices.locations, "locations");
}
LogService& systemLog() {
    return require(gServices.systemLog, "system log");
}
NotificationService& notifications() {
    return require(gServices.notifications, "notification");
}
OutputService& output() {
    return require(gServices.output, "standard output");
}
PasteboardService& pasteboard() {
    return require(gServices.pasteboard, "pasteboard");
}
PreferenceStore& preferences() {
    return require(gServices.preferences, "preference");
}
ProcessService& processes() {
    return require(gServices.processes, "process");
}
ScriptingService& scripting() {
    return require(gServices.scripting, "scripting");
}
SoundService& sounds() {
    return require(gServices.sounds, "sound");
}
StatusBarService& statusBar() {
    return require(gServices.statusBar, "status bar");
}
WindowService& windows() {
    return require(gServices.windows, "window");
}
WordCompletionService& wordCompletion() {
    return require(gServices.wordCompletion, "word completion");
}
WorkspaceService& workspace() {
    return require(gServices.workspace, "workspace");
}

ScopedPlatform::ScopedPlatform(const Services& services) : m_previous(gServices) {
    gServices = services;
}

ScopedPlatform::~ScopedPlatform() {
    gServices = m_previous;
}

} // namespace platform
