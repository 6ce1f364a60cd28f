// Pictures shown in menu items at their own size.
//
// A menu draws every item's icon at its style's small-icon size, 16 pixels on most desktops; the
// previews of the clipboard image and of the recent desktop pictures are meant to be seen at
// 64 x 64. A menu picture is an icon that knows the size it is drawn at, which a desktop's menu
// style asks for with MenuPictureSize. Its image may also wait until the item is first drawn or
// read, so that a menu of a thousand pictures shows at once and decodes only what is seen.
#pragma once

#include <QIcon>
#include <QImage>
#include <QSize>
#include <functional>
#include <optional>

namespace platform {

// The picture, drawn at its own size.
QIcon MenuPicture(const QImage& picture);
// The picture `load` gives the first time it is needed, drawn at `size`; nothing is drawn when
// it gives none.
QIcon MenuPicture(QSize size, std::function<std::optional<QImage>()> load);

// The size `icon` is drawn at when it is a menu picture.
std::optional<QSize> MenuPictureSize(const QIcon& icon);
// Whether `icon` is a menu picture whose picture has not been loaded yet: drawing or reading it
// now would load it.
bool MenuPictureWaits(const QIcon& icon);

} // namespace platform
