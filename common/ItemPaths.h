// Between file references and the paths the system handles as text.
#pragma once

#include "platform/types/MacTypes.h"

#include <QString>
#include <optional>

// The item's POSIX path; none for a null reference, a reference that no longer names its item,
// or a path that is not valid UTF-8 (such a name cannot be written back exactly, so the item is
// treated as one that cannot be resolved).
std::optional<QString> stringWithFSRef(const FSRef* ref);

// True, with the reference, when the path names an existing item.
bool getFSRef(const QString& path, FSRef* ref);
