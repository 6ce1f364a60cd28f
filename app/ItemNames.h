// The name of an item as the file manager shows it.
#pragma once

#include "platform/MacTypes.h"

#include <QString>
#include <optional>

// The item's name, without its extension when the item's extension-hidden flag is set and the
// name has an extension. None when the item is gone or its name is not valid UTF-8.
std::optional<QString> GetObjectDisplayName(const FSRef* ref);
