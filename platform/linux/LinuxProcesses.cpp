#include "platform/linux/LinuxBrowsers.h"
#include "platform/linux/LinuxServices.h"
#include "platform/services/ApplicationSignatures.h"

#include <QApplication>
#include <QWidget>

namespace platform::linuxdesk {

namespace {
// A browser's process: the high word says so, the low one is its pid.
constexpr UInt32 kBrowserProcess = 1;
} // namespace

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

OSStatus LinuxProcesses::frontProcess(ProcessSerialNumber*) {
    return procNotFound;
}

std::optional<QString> LinuxProcesses::processName(const ProcessSerialNumber&) {
    return std::nullopt;
}

std::optional<QString> LinuxProcesses::processBundleLocation(const ProcessSerialNumber&) {
    return std::nullopt;
}

OSStatus LinuxProcesses::setFrontProcess(const ProcessSerialNumber& psn) {
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
