#include "app/Alerts.h"

#include "platform/Alerts.h"
#include "platform/Platform.h"
#include "platform/Processes.h"
#include "platform/Sounds.h"

namespace {
constexpr short kAlertBeepDuration = 30;
constexpr OSStatus kAlertNotShown = -1;
} // namespace

OSStatus ShowAlertMessage(const QString& message, const std::optional<QString>& detail) {
    SetFrontProcess(&kCurrentProcessPSN);
    SysBeep(kAlertBeepDuration);
    const int button = platform::alerts().runStopAlert(message, detail, {QStringLiteral("OK")});
    return button < 0 ? kAlertNotShown : noErr;
}

int ShowAlertMessageWithCancel(const QString& message, const std::optional<QString>& detail) {
    SysBeep(kAlertBeepDuration);
    return platform::alerts().runStopAlert(message, detail,
                                           {QStringLiteral("OK"), QStringLiteral("Cancel")});
}
