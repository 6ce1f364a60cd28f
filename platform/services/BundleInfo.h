// The application's information dictionary: its name, identifier and signature, as its bundle
// would carry them.
#pragma once

#include <QString>
#include <optional>

// The value of `key` ("CFBundleSignature", "CFBundleName", "CFBundleIdentifier"); none for a
// key the dictionary does not hold.
std::optional<QString> CFBundleGetValueForInfoDictionaryKey(const QString& key);
