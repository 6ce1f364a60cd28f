// Pictures on the pasteboard: whether one can be made from what it holds, and making it.
#pragma once

#include "platform/services/Pasteboard.h"

#include <QImage>
#include <optional>

// True when an item offers a picture flavor this machine can decode. The data is not read.
bool ImageCanInitWithPasteboard(PasteboardRef pasteboard);

// The picture of the first item, in item order, whose picture flavor decodes; within an item
// the flavors are tried in the order the item offers them. None when no flavor decodes. With a
// box, a picture larger than it is decoded already fitted into it, its proportions kept, so
// that a huge one costs no more memory than the box where its format allows (JPEG decodes
// scaled; others decode whole, within Qt's allocation limit, and are scaled then).
std::optional<QImage> ImageInitWithPasteboard(PasteboardRef pasteboard, QSize within = QSize());
