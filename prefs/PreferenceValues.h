// Reading the settings. Every read synchronises the store first, so a value another process
// wrote is seen at once; nothing is cached.
#pragma once

#include <QString>
#include <optional>

// The flag rule: the key's boolean value, or `defaultValue` when the key is absent or not a
// boolean. A value of another type is left as it is for the next write to replace.
bool BooleanPreferenceValue(const QString& key, bool defaultValue, bool synchronize = true);

// The boolean setting of the table with its own default; false for a key not in the table.
bool BooleanPreferenceValue(const QString& key);

bool ReverseOrder();

// The string setting `key`; none when it is absent, empty or not a string.
std::optional<QString> StringPreferenceValue(const QString& key);
