#include "StandInHost.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusVariant>

namespace fixtures {

namespace sni = platform::linuxdesk::sni;

namespace {
const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kMenuInterface = QStringLiteral("com.canonical.dbusmenu");
const QString kMenuPath = QStringLiteral("/MenuBar");
} // namespace

bool StandInHost::Watcher::handleMessage(const QDBusMessage& message,
                                         const QDBusConnection& connection) {
    if (message.member() == u"RegisterStatusNotifierItem") {
        items.append(message.arguments().value(0).toString());
        connection.send(message.createReply());
        return true;
    }
    return false;
}

StandInHost::StandInHost()
    : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                          QStringLiteral("stand-in-host"))) {
    sni::RegisterTypes();
}

StandInHost::~StandInHost() {
    stop();
    QDBusConnection::disconnectFromBus(QStringLiteral("stand-in-host"));
}

bool StandInHost::start() {
    return m_bus.registerVirtualObject(QStringLiteral("/StatusNotifierWatcher"), &m_watcher) &&
           m_bus.registerService(kWatcher);
}

void StandInHost::stop() {
    m_bus.unregisterService(kWatcher);
    m_bus.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
}

QDBusMessage StandInHost::call(const QString& path, const QString& interface, const QString& method,
                               const QVariantList& arguments) {
    if (m_item.isEmpty() && !m_watcher.items.isEmpty()) {
        m_item = m_watcher.items.last();
        m_bus.connect(m_item, kMenuPath, kMenuInterface, QStringLiteral("LayoutUpdated"), this,
                      SLOT(onLayoutUpdated(uint, int)));
        m_bus.connect(m_item, kMenuPath, kMenuInterface, QStringLiteral("ItemsPropertiesUpdated"),
                      this, SLOT(onItemsPropertiesUpdated(QDBusMessage)));
    }
    QDBusMessage message = QDBusMessage::createMethodCall(m_item, path, interface, method);
    message.setArguments(arguments);
    return m_bus.call(message, QDBus::BlockWithGui, 5000);
}

QVariant StandInHost::itemProperty(const QString& name) {
    const QDBusMessage reply = call(
        QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"), {QStringLiteral("org.kde.StatusNotifierItem"), name});
    return reply.arguments().value(0).value<QDBusVariant>().variant();
}

bool StandInHost::aboutToShow(int id) {
    const QDBusMessage reply = call(kMenuPath, kMenuInterface, QStringLiteral("AboutToShow"), {id});
    return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool();
}

std::optional<sni::MenuLayoutItem> StandInHost::layout(int id, int depth) {
    const QDBusMessage reply =
        call(kMenuPath, kMenuInterface, QStringLiteral("GetLayout"), {id, depth, QStringList()});
    if (reply.type() != QDBusMessage::ReplyMessage)
        return std::nullopt;
    return qdbus_cast<sni::MenuLayoutItem>(reply.arguments().value(1).value<QDBusArgument>());
}

void StandInHost::event(int id, const QString& eventId) {
    call(kMenuPath, kMenuInterface, QStringLiteral("Event"),
         {id, eventId, QVariant::fromValue(QDBusVariant(QString())), 0u});
}

void StandInHost::onLayoutUpdated(uint, int) {
    ++layoutUpdates;
}

void StandInHost::onItemsPropertiesUpdated(const QDBusMessage& message) {
    ++propertyUpdates;
    updatedProperties += qdbus_cast<sni::MenuItemPropertiesList>(
        message.arguments().value(0).value<QDBusArgument>());
}

} // namespace fixtures
