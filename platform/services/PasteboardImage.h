// Pictures on the pasteboard: whether one can be made from what it holds, and making it.
#pragma once

#include "platform/services/Pasteboard.h"

#include <QImage>
#include <optional>

// True when an item offers a picture flavor this machine can decode. The data is not read.
bool ImageCanInitWithPasteboard(PasteboardRef pasteboard);

// The picture of the first item, in item order, whose picture flavor decodes; within an item
// the flavors are tried in the order the item offers them. None when no flavor decodes.
std::optional<QImage> ImageInitWithPasteboard(PasteboardRef pasteboard);
