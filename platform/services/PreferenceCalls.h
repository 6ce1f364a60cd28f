// The preference calls the system makes, over the store of platform/PreferenceStore.h.
//
// Values are property-list values held in a QVariant: bool, QString, a number, or a
// QVariantList. None stands for an absent key.
#pragma once

#include <QString>
#include <QVariant>
#include <optional>

std::optional<QVariant> CFPreferencesCopyAppValue(const QString& key, const QString& applicationID);
// With none, removes the key.
void CFPreferencesSetAppValue(const QString& key, const std::optional<QVariant>& value,
                              const QString& applicationID);
// Writes this process's changes and reads the others'. False when the changes could not be
// written (they stay pending); the user is told the first time.
bool CFPreferencesAppSynchronize(const QString& applicationID);
