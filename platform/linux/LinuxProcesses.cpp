#include "platform/linux/DesktopEntries.h"
#include "platform/linux/LinuxBrowsers.h"
#include "platform/linux/LinuxServices.h"
#include "platform/linux/x11/X11Windows.h"
#include "platform/services/ApplicationSignatures.h"

#include <QApplication>
#include <QWidget>

namespace platform::linuxdesk {

namespace {
// A browser's process: the high word says so, the low one is its pid.
constexpr UInt32 kBrowserProcess = 1;
// The application of the front window: the low word is the window.
constexpr UInt32 kWindowProcess = 2;

struct WindowApplication {
    QString name;
    std::optional<QString> entry;
};

// Named by its desktop entry; without one, by its window class, then by its executable.
std::optional<WindowApplication> applicationOf(const ProcessSerialNumber& psn) {
    if (psn.highLongOfPSN != kWindowProcess)
        return std::nullopt;
    const x11::Window window = psn.lowLongOfPSN;
    const auto pid = x11::WindowProcess(window);
    const QString windowClass = x11::WindowClass(window);
    const QString executable = pid ? ProcessExecutableName(*pid) : QString();
    if (const auto entry = DesktopEntryForApplication(windowClass, executable))
        return WindowApplication{entry->name, entry->path};
    if (!windowClass.isEmpty())
        return WindowApplication{windowClass, std::nullopt};
    if (!executable.isEmpty())
        return WindowApplication{executable, std::nullopt};
    return std::nullopt;
}
} // namespace

LinuxProcesses::LinuxProcesses() {
    x11::WatchActiveWindow();
}

OSStatus LinuxProcesses::findProcessBySignature(OSType creator, OSType type,
                                                ProcessSerialNumber* psn) {
    if (creator == gFinderSignature && type == kFinderFileType) {
        *psn = ProcessSerialNumber{0, 1};
        return noErr;
    }
    const auto name = ApplicationNameForSignature(creator, type);
    const LinuxBrowser* browser = name ? LinuxBrowserNamed(*name) : nullptr;
    if (!browser)
        return procNotFound;
    const std::vector<pid_t> processes = BrowserProcesses(*browser);
    if (processes.empty())
        return procNotFound;
    *psn = ProcessSerialNumber{kBrowserProcess, static_cast<UInt32>(processes.front())};
    return noErr;
}

OSStatus LinuxProcesses::frontProcess(ProcessSerialNumber* psn) {
    // Without a window manager no change of the active window is announced: ask now.
    x11::RememberActiveWindow();
    const auto window = x11::RememberedWindow();
    if (!window)
        return procNotFound;
    *psn = ProcessSerialNumber{kWindowProcess, *window};
    return noErr;
}

std::optional<QString> LinuxProcesses::processName(const ProcessSerialNumber& psn) {
    const auto application = applicationOf(psn);
    return application ? std::optional(application->name) : std::nullopt;
}

std::optional<QString> LinuxProcesses::processBundleLocation(const ProcessSerialNumber& psn) {
    const auto application = applicationOf(psn);
    return application ? application->entry : std::nullopt;
}

OSStatus LinuxProcesses::setFrontProcess(const ProcessSerialNumber& psn) {
    if (psn.highLongOfPSN == kWindowProcess) {
        x11::ActivateWindow(psn.lowLongOfPSN);
        return noErr;
    }
    if (psn.highLongOfPSN != kCurrentProcessPSN.highLongOfPSN ||
        psn.lowLongOfPSN != kCurrentProcessPSN.lowLongOfPSN)
        return procNotFound;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            window->raise();
            window->activateWindow();
        }
    }
    return noErr;
}

} // namespace platform::linuxdesk
