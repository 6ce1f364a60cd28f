// A StatusNotifierItem host on a connection of its own to the test's private session bus: it owns
// the watcher's name, hears items register, and drives an item's menu as KDE's and Canonical's
// hosts do, counting the menu's signals. Its calls run the event loop while they wait, so the
// item may live in the same thread.
#pragma once

#include "platform/linux/sni/DBusMenuTypes.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QObject>
#include <QStringList>
#include <optional>

namespace fixtures {

class StandInHost : public QObject {
    Q_OBJECT

public:
    StandInHost();
    ~StandInHost() override;

    // Takes the watcher's name, or gives it up, as a shell starting or going away does.
    bool start();
    void stop();
    // The items that registered since the start, and the last one's service.
    const QStringList& registered() const { return m_watcher.items; }

    QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments);
    QVariant itemProperty(const QString& name);
    bool aboutToShow(int id);
    std::optional<platform::linuxdesk::sni::MenuLayoutItem> layout(int id, int depth = -1);
    void event(int id, const QString& eventId = QStringLiteral("clicked"));

    int layoutUpdates = 0;
    int propertyUpdates = 0;
    platform::linuxdesk::sni::MenuItemPropertiesList updatedProperties;

public slots:
    void onLayoutUpdated(uint revision, int parent);
    void onItemsPropertiesUpdated(const QDBusMessage& message);

private:
    class Watcher : public QDBusVirtualObject {
    public:
        QString introspect(const QString&) const override { return {}; }
        bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
        QStringList items;
    };

    QDBusConnection m_bus;
    Watcher m_watcher;
    QString m_item;
};

} // namespace fixtures
