// Turning one element of the Finder's selection into a file reference.
#pragma once

#include "platform/AEDesc.h"
#include "platform/MacTypes.h"

// Element `index` (1-based) of the selection list: an object specifier is resolved through an
// alias the Finder makes for it, without any user interaction; anything else is coerced to a
// file reference. False when the element cannot be had or resolved: the caller skips it.
bool ResolveSelectionItem(const AEDescList& selection, long index, FSRef* ref);
