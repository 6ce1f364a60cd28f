// The thin calls over the sound, log and notification services.
#include "platform/Notifications.h"
#include "platform/Platform.h"
#include "platform/Sounds.h"
#include "platform/SystemLog.h"

void SysBeep(short) {
    platform::sounds().beep();
}

bool PlaySoundNamed(const QString& name) {
    return platform::sounds().playSound(name);
}

void NSLog(const QString& line) {
    platform::systemLog().log(line);
}

void CFNotificationCenterPostDistributedNotification(const QString& name, const QString& object,
                                                     bool deliverImmediately) {
    platform::notifications().postDistributed(name, object, deliverImmediately);
}
