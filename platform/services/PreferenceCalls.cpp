#include "platform/services/PreferenceCalls.h"

#include "platform/local/system/PreferenceStore.h"
#include "platform/services/Notifications.h"
#include "platform/services/Platform.h"

std::optional<QVariant> CFPreferencesCopyAppValue(const QString& key,
                                                  const QString& applicationID) {
    return platform::preferences().copyValue(key, applicationID);
}

void CFPreferencesSetAppValue(const QString& key, const std::optional<QVariant>& value,
                              const QString& applicationID) {
    platform::preferences().setValue(key, value, applicationID);
}

bool CFPreferencesAppSynchronize(const QString& applicationID) {
    platform::PreferenceStore& store = platform::preferences();
    const bool failingAlready = !store.lastError().isEmpty();
    if (store.synchronize(applicationID))
        return true;
    // The changes stay pending and every later synchronisation tries again: the user hears of
    // it once, not at every menu opening, until a write succeeds again.
    if (!failingAlready && !store.lastError().isEmpty())
        NSUserNotificationCenterDeliver(QStringLiteral("Velmora could not save its settings. ") +
                                        store.lastError());
    return false;
}
