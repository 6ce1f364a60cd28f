// The Finder's selection as the system handles it: the list, one element turned into a file
// reference, and the whole selection as paths.
#pragma once

#include "platform/local/files/AEDesc.h"
#include "platform/types/MacTypes.h"

#include <QStringList>
#include <optional>

// The selection list when the Finder reported a non-empty one; `count` gets its length.
std::optional<AEDescList> CurrentFinderSelection(long* count);

// The selection a command works on, with its length in `count`: none, silently, when the Finder
// cannot give it or gives something that is not a list; none after the alert "The Finder has no
// active selection." when it is empty.
std::optional<AEDescList> SelectionForCommand(long* count);

// Element `index` (1-based) of the selection list: an object specifier is resolved through an
// alias the Finder makes for it, without any user interaction; anything else is coerced to a
// file reference. False when the element cannot be had or resolved: the caller skips it.
bool ResolveSelectionItem(const AEDescList& selection, long index, FSRef* ref);

// The selection as a new list of paths, in the Finder's order; elements that cannot be
// resolved, or whose paths cannot be had, are left out. Empty, never absent, when there is none.
QStringList FinderSelectionPaths();
