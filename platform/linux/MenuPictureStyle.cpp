#include "platform/linux/MenuPictureStyle.h"

#include "platform/local/media/MenuPictures.h"

#include <QAction>
#include <QMenu>
#include <QStyleOptionMenuItem>

namespace platform::linuxdesk {

namespace {

int sideOf(QSize size) {
    return std::max(size.width(), size.height());
}

} // namespace

// The menu asks once with no item, for the width of its icon column, and then for each item as
// it sizes and draws it.
int MenuPictureStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                  const QWidget* widget) const {
    const int size = QProxyStyle::pixelMetric(metric, option, widget);
    if (metric != PM_SmallIconSize)
        return size;
    if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
        if (const auto picture = MenuPictureSize(item->icon))
            return std::max(size, sideOf(*picture));
        return size;
    }
    const auto* menu = qobject_cast<const QMenu*>(widget);
    if (!menu)
        return size;
    int largest = size;
    for (const QAction* action : menu->actions()) {
        if (const auto picture = MenuPictureSize(action->icon()))
            largest = std::max(largest, sideOf(*picture));
    }
    return largest;
}

int MenuPictureStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                                QStyleHintReturn* returnData) const {
    if (hint == SH_Menu_Scrollable)
        return 1;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

} // namespace platform::linuxdesk
