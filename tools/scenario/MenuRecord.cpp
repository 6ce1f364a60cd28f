#include "tools/scenario/MenuRecord.h"

#include "common/MenuItems.h"
#include "platform/services/StatusBar.h"
#include "platform/world/World.h"

#include <QAction>
#include <QJsonObject>
#include <QMenu>

namespace scenario {

namespace {

namespace props = platform::menu_properties;
using platform::world::World;

QJsonValue textOrNull(const QAction& item, const char* property) {
    const QVariant value = item.property(property);
    return value.isValid() ? QJsonValue(value.toString()) : QJsonValue(QJsonValue::Null);
}

// Recent pictures carry their paths as tool tips.
QJsonValue toolTip(const QAction& item, const World& world) {
    const QVariant value = item.property(props::kToolTip);
    return value.isValid() ? QJsonValue(world.abbreviateWithin(value.toString()))
                           : QJsonValue(QJsonValue::Null);
}

QJsonValue imageDescription(const QAction& item, const World& world) {
    const QVariant value = item.property(props::kImage);
    if (!value.isValid())
        return QJsonValue::Null;
    QString description = value.toString();
    const QLatin1String iconPrefix("icon:");
    if (description.startsWith(iconPrefix))
        description = iconPrefix + world.abbreviate(description.mid(iconPrefix.size()));
    return description;
}

} // namespace

QJsonArray DescribeMenu(QMenu& menu, const World& world) {
    QJsonArray items;
    for (const QAction* item : menu.actions()) {
        if (item->isSeparator()) {
            items.append(QJsonObject{{QStringLiteral("separator"), true}});
            continue;
        }
        QJsonObject entry{{QStringLiteral("title"), item->property(props::kTitle).toString()},
                          {QStringLiteral("tooltip"), toolTip(*item, world)},
                          {QStringLiteral("action"), textOrNull(*item, props::kAction)},
                          {QStringLiteral("enabled"), item->isEnabled()},
                          {QStringLiteral("image"), imageDescription(*item, world)}};
        if (QMenu* submenu = QMenu::menuInAction(item)) {
            FillSubmenuNow(submenu);
            entry.insert(QStringLiteral("submenu"), DescribeMenu(*submenu, world));
        }
        items.append(entry);
    }
    return items;
}

} // namespace scenario
