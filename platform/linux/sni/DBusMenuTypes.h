// The structures com.canonical.dbusmenu and org.kde.StatusNotifierItem put on the bus, with their
// D-Bus signatures, and their registration with QtDBus (once, before the first object is
// exported or the first call is made).
#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace platform::linuxdesk::sni {

// (ia{sv}av): an item, its properties and its children, each child a variant of the same.
struct MenuLayoutItem {
    int id = 0;
    QVariantMap properties;
    QList<MenuLayoutItem> children;
};

// (ia{sv}): the properties of one item.
struct MenuItemProperties {
    int id = 0;
    QVariantMap properties;
};
using MenuItemPropertiesList = QList<MenuItemProperties>;

// (ias): the names of properties an item no longer has.
struct MenuItemPropertyNames {
    int id = 0;
    QStringList names;
};
using MenuItemPropertyNamesList = QList<MenuItemPropertyNames>;

// (isvu): one event of a group.
struct MenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using MenuEventList = QList<MenuEvent>;

// (iiay): a picture, its pixels ARGB32 in network byte order.
struct IconPixmap {
    int width = 0;
    int height = 0;
    QByteArray bytes;
};
using IconPixmapList = QList<IconPixmap>;

// (sa(iiay)ss): an item's tool tip.
struct ToolTip {
    QString iconName;
    IconPixmapList pixmaps;
    QString title;
    QString description;
};

void RegisterTypes();

QDBusArgument& operator<<(QDBusArgument& argument, const MenuLayoutItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, MenuLayoutItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const MenuItemProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, MenuItemProperties& item);
QDBusArgument& operator<<(QDBusArgument& argument, const MenuItemPropertyNames& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, MenuItemPropertyNames& item);
QDBusArgument& operator<<(QDBusArgument& argument, const MenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, MenuEvent& event);
QDBusArgument& operator<<(QDBusArgument& argument, const IconPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, IconPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const ToolTip& toolTip);
const QDBusArgument& operator>>(const QDBusArgument& argument, ToolTip& toolTip);

} // namespace platform::linuxdesk::sni

Q_DECLARE_METATYPE(platform::linuxdesk::sni::MenuLayoutItem)
Q_DECLARE_METATYPE(platform::linuxdesk::sni::MenuItemProperties)
Q_DECLARE_METATYPE(platform::linuxdesk::sni::MenuItemPropertyNames)
Q_DECLARE_METATYPE(platform::linuxdesk::sni::MenuEvent)
Q_DECLARE_METATYPE(platform::linuxdesk::sni::IconPixmap)
Q_DECLARE_METATYPE(platform::linuxdesk::sni::ToolTip)
