// Items' names: as the file manager shows them, as they are stored, their extensions, and
// renaming.
#pragma once

#include "platform/types/MacTypes.h"

#include <QString>
#include <optional>

// The item's name, without its extension when the item's extension-hidden flag is set and the
// name has an extension. None when the item is gone or its name is not valid UTF-8.
std::optional<QString> GetObjectDisplayName(const FSRef* ref);

// The item's name; none when it cannot be read or is not valid UTF-8.
std::optional<QString> GetObjectName(const FSRef* item);
std::optional<QString> FSGetName(const FSRef* item);

// The item's extension without its dot, by the one extension rule; none when it has none.
std::optional<QString> CopyNameExtension(const FSRef* item);

// Renames the item in its folder; the reference then names the renamed item. Names that are
// taken, not allowed or too long are refused by the file services, and the item keeps its name.
OSStatus SetObjectName(FSRef* item, const QString& name);
