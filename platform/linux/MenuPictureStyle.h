// The application's style with menu pictures drawn at their own size: an item whose icon is a
// menu picture (platform/local/media/MenuPictures.h) gets a 64 x 64 picture where the style would
// draw 16 pixels, and a menu that holds one widens its icon column for it. A menu taller than
// the screen scrolls, as the recent pictures' list of any length must, where Qt's own style
// would lay it out in columns wider than the screen. Every other icon and widget is drawn as the
// style draws it.
//
// This is for the menus Qt draws itself (a tray host that embeds the icon, as X11 trays do). A
// host that draws the menu from its description on the session bus (StatusNotifierItem with
// DBusMenu) draws each picture at the size it chooses.
#pragma once

#include <QProxyStyle>

namespace platform::linuxdesk {

class MenuPictureStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

} // namespace platform::linuxdesk
