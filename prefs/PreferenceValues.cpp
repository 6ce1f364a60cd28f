#include "prefs/PreferenceValues.h"

#include "platform/services/PreferenceCalls.h"
#include "prefs/Identifiers.h"
#include "prefs/PreferenceKeys.h"

bool BooleanPreferenceValue(const QString& key, bool defaultValue, bool synchronize) {
    if (synchronize)
        CFPreferencesAppSynchronize(kApplicationIdentifier);
    const auto value = CFPreferencesCopyAppValue(key, kApplicationIdentifier);
    if (!value || value->typeId() != QMetaType::Bool)
        return defaultValue;
    return value->toBool();
}

bool BooleanPreferenceValue(const QString& key) {
    for (const BooleanPreference& preference : BooleanPreferences()) {
        if (key == QLatin1String(preference.key))
            return BooleanPreferenceValue(key, preference.defaultValue);
    }
    return BooleanPreferenceValue(key, false);
}

bool ReverseOrder() {
    return BooleanPreferenceValue(kReverseOrderKey);
}

std::optional<QString> StringPreferenceValue(const QString& key) {
    CFPreferencesAppSynchronize(kApplicationIdentifier);
    const auto value = CFPreferencesCopyAppValue(key, kApplicationIdentifier);
    if (!value || value->typeId() != QMetaType::QString || value->toString().isEmpty())
        return std::nullopt;
    return value->toString();
}
