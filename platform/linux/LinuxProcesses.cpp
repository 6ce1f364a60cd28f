#include "platform/linux/DesktopEntries.h"
#include "platform/linux/FrontWindows.h"
#include "platform/linux/LinuxBrowsers.h"
#include "platform/linux/LinuxServices.h"
#include "platform/services/ApplicationSignatures.h"

#include <QApplication>
#include <QFileInfo>
#include <QWidget>

namespace platform::linuxdesk {

namespace {
// A browser's process: the high word says so, the low one is its pid.
constexpr UInt32 kBrowserProcess = 1;
// The application of the front window taken at an opening: the low word is the taking's serial,
// and a number of an earlier taking names nothing.
constexpr UInt32 kWindowProcess = 2;

struct WindowApplication {
    QString name;
    std::optional<QString> entry;
};

// A Wayland application id is its desktop entry's file name, in the case it was written.
std::optional<DesktopEntry> entryNamed(const QString& applicationId) {
    const QString file = applicationId + QStringLiteral(".desktop");
    for (const DesktopEntry& entry : ApplicationDesktopEntries()) {
        if (QFileInfo(entry.path).fileName() == file)
            return entry;
    }
    return std::nullopt;
}

// Named by its desktop entry; without one, by its application id or window class, then by its
// executable.
std::optional<WindowApplication> applicationOf(const FrontWindows& front,
                                               const ProcessSerialNumber& psn) {
    const auto window = front.front();
    if (psn.highLongOfPSN != kWindowProcess || psn.lowLongOfPSN != front.serial() || !window)
        return std::nullopt;
    const QString executable = window->pid ? ProcessExecutableName(*window->pid) : QString();
    auto entry = window->applicationId.isEmpty() ? std::nullopt : entryNamed(window->applicationId);
    if (!entry)
        entry = DesktopEntryForApplication(window->applicationId, executable);
    if (entry)
        return WindowApplication{entry->name, entry->path};
    if (!window->applicationId.isEmpty())
        return WindowApplication{window->applicationId, std::nullopt};
    if (!executable.isEmpty())
        return WindowApplication{executable, std::nullopt};
    return std::nullopt;
}
} // namespace

LinuxProcesses::LinuxProcesses(FrontWindows& front) : m_front(front) {}

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
    m_front.rememberUnlessJustTaken();
    if (!m_front.front())
        return procNotFound;
    *psn = ProcessSerialNumber{kWindowProcess, m_front.serial()};
    return noErr;
}

std::optional<QString> LinuxProcesses::processName(const ProcessSerialNumber& psn) {
    const auto application = applicationOf(m_front, psn);
    return application ? std::optional(application->name) : std::nullopt;
}

std::optional<QString> LinuxProcesses::processBundleLocation(const ProcessSerialNumber& psn) {
    const auto application = applicationOf(m_front, psn);
    return application ? application->entry : std::nullopt;
}

bool LinuxProcesses::canHideOthers(const ProcessSerialNumber& psn) {
    return psn.highLongOfPSN == kWindowProcess && psn.lowLongOfPSN == m_front.serial() &&
           m_front.canHideOthers();
}

OSStatus LinuxProcesses::setFrontProcess(const ProcessSerialNumber& psn) {
    if (psn.highLongOfPSN == kWindowProcess) {
        if (psn.lowLongOfPSN != m_front.serial() || !m_front.activateFront())
            return procNotFound;
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
