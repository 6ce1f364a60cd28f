// The process-wide set of desktop services the system talks to.
//
// main installs the Linux desktop once; a test or the scenario driver installs an in-memory
// world for its own lifetime with ScopedPlatform. The system reaches a service only through
// the accessors below.
#pragma once

namespace platform {

class ApplicationService;
class FinderService;
class Locations;
class ProcessService;
class StatusBarService;
class WorkspaceService;

struct Services {
    ApplicationService* application = nullptr;
    FinderService* finder = nullptr;
    Locations* locations = nullptr;
    ProcessService* processes = nullptr;
    StatusBarService* statusBar = nullptr;
    WorkspaceService* workspace = nullptr;
};

void install(const Services& services);

ApplicationService& application();
FinderService& finder();
Locations& locations();
ProcessService& processes();
StatusBarService& statusBar();
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
