#include "platform/services/Preferences.h"

#include "platform/local/PreferenceStore.h"
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
    return platform::preferences().synchronize(applicationID);
}
