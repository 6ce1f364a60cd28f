// The two names under which Velmora's settings are known: the application identifier, which is
// the preference domain, and the preference identifier, which the change notification carries
// as its object. They are different strings on purpose.
#pragma once

#include <QString>

inline const QString kApplicationIdentifier = QStringLiteral("io.velmora.Velmora");
inline const QString kPreferenceIdentifier = QStringLiteral("io.velmora.Velmora.PreferencePane");

// The notification posted when the preference window changes a setting.
inline const QString kPreferencesChangedNotification = QStringLiteral("Preferences Changed");
