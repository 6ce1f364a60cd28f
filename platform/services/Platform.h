// The process-wide set of desktop services the system talks to.
//
// main installs the Linux desktop once; a test or the scenario driver installs an in-memory
// world for its own lifetime with ScopedPlatform. The system reaches a service only through
// the accessors below.
#pragma once

namespace platform {

class AlertService;
class ApplicationService;
class FinderService;
class Locations;
class LogService;
class NotificationService;
class OutputService;
class PasteboardService;
class PreferenceStore;
class ProcessService;
class ScriptingService;
class SoundService;
class StatusBarService;
class WindowService;
class WordCompletionService;
class WorkspaceService;

struct Services {
    AlertService* alerts = nullptr;
    ApplicationService* application = nullptr;
    FinderService* finder = nullptr;
    Locations* locations = nullptr;
    LogService* systemLog = nullptr;
    NotificationService* notifications = nullptr;
    OutputService* output = nullptr;
    PasteboardService* pasteboard = nullptr;
    PreferenceStore* preferences = nullptr;
    ProcessService* processes = nullptr;
    ScriptingService* scripting = nullptr;
    SoundService* sounds = nullptr;
    StatusBarService* statusBar = nullptr;
    WindowService* windows = nullptr;
    WordCompletionService* wordCompletion = nullptr;
    WorkspaceService* workspace = nullptr;
};

// The services of a desktop whose backends are the members of `backends`, named as the fields
// above (the log as `log`).
template <typename Backends> Services ServicesOf(Backends& backends) {
    return Services{.alerts = &backends.alerts,
                    .application = &backends.application,
                    .finder = &backends.finder,
                    .locations = &backends.locations,
                    .systemLog = &backends.log,
                    .notifications = &backends.notifications,
                    .output = &backends.output,
                    .pasteboard = &backends.pasteboard,
                    .preferences = &backends.preferences,
                    .processes = &backends.processes,
                    .scripting = &backends.scripting,
                    .sounds = &backends.sounds,
                    .statusBar = &backends.statusBar,
                    .windows = &backends.windows,
                    .wordCompletion = &backends.wordCompletion,
                    .workspace = &backends.workspace};
}

void install(const Services& services);

AlertService& alerts();
ApplicationService& application();
FinderService& finder();
Locations& locations();
LogService& systemLog();
NotificationService& notifications();
OutputService& output();
PasteboardService& pasteboard();
PreferenceStore& preferences();
ProcessService& processes();
ScriptingService& scripting();
SoundService& sounds();
StatusBarService& statusBar();
WindowService& windows();
WordCompletionService& wordCompletion();
WorkspaceService& workspace();

// Installs a set of services and puts the previous set back when it goes out of scope.
class ScopedPlatform {
public:
    explicit ScopedPlatform(const Services& services);
    ~ScopedPlatform();
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;

private:
    Services m_previous;
};

} // namespace platform
