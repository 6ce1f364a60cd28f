#include "common/AlertMessages.h"

#include "platform/services/AlertService.h"
#include "platform/services/Processes.h"
#include "platform/services/Sounds.h"

namespace {
constexpr short kAlertBeepDuration = 30;
constexpr OSStatus kAlertNotShown = -1;
} // namespace

OSStatus ShowAlertMessage(const QString& message, const std::optional<QString>& detail) {
    SetFrontProcess(&kCurrentProcessPSN);
    SysBeep(kAlertBeepDuration);
    const int button = RunStopAlert(message, detail, {QStringLiteral("OK")});
    return button < 0 ? kAlertNotShown : noErr;
}

int ShowAlertMessageWithCancel(const QString& message, const std::optional<QString>& detail) {
    SysBeep(kAlertBeepDuration);
    return RunStopAlert(message, detail, {QStringLiteral("OK"), QStringLiteral("Cancel")});
}
