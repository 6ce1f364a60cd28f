#include "platform/linux/LinuxServices.h"

#include <QApplication>
#include <QWidget>

namespace platform::linuxdesk {

OSStatus LinuxProcesses::findProcessBySignature(OSType creator, OSType type,
                                                ProcessSerialNumber* psn) {
    if (creator == gFinderSignature && type == kFinderFileType) {
        *psn = ProcessSerialNumber{0, 1};
        return noErr;
    }
    return procNotFound;
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
