#include "platform/linux/sni/StatusNotifierItem.h"

#include "platform/linux/sni/DBusMenuExporter.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QtEndian>

namespace platform::linuxdesk::sni {

namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kMenuPath = QStringLiteral("/MenuBar");
// A watcher that does not answer in this time is taken as absent, until it appears again.
constexpr int kRegistrationTimeoutMs = 3000;
// The sizes hosts draw tray icons at, from a panel's 16 pixels to a HiDPI panel's 64.
constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64};

IconPixmap networkOrder(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    IconPixmap pixmap{argb.width(), argb.height(), {}};
    pixmap.bytes.resize(qsizetype(argb.width()) * argb.height() * 4);
    auto* out = reinterpret_cast<quint32*>(pixmap.bytes.data());
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            *out++ = qToBigEndian(line[x]);
    }
    return pixmap;
}

} // namespace

StatusNotifierItem::StatusNotifierItem(QObject* parent) : QObject(parent) {
    RegisterTypes();
}

void StatusNotifierItem::setIcon(const QIcon& icon) {
    m_icon = icon;
    m_pixmaps.clear();
    for (int size : kIconSizes) {
        const QPixmap pixmap = icon.pixmap(QSize(size, size), 1.0);
        if (!pixmap.isNull() && pixmap.width() == size)
            m_pixmaps.append(networkOrder(pixmap.toImage()));
    }
    emit NewIcon();
}

ToolTip StatusNotifierItem::toolTip() const {
    return ToolTip{{}, {}, QStringLiteral("Velmora"), {}};
}

QDBusObjectPath StatusNotifierItem::menuPath() const {
    return QDBusObjectPath(kMenuPath);
}

void StatusNotifierItem::ContextMenu(int x, int y) {
    if (m_activate)
        m_activate(QPoint(x, y));
}

void StatusNotifierItem::Activate(int x, int y) {
    if (m_activate)
        m_activate(QPoint(x, y));
}

void StatusNotifierItem::SecondaryActivate(int, int) {
    if (m_other)
        m_other();
}

void StatusNotifierItem::Scroll(int, const QString&) {}

StatusNotifierTray::StatusNotifierTray(QDBusConnection bus,
                                       std::function<void(bool)> watcherChanged, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)), m_watcherChanged(std::move(watcherChanged)),
      m_item(std::make_unique<StatusNotifierItem>()), m_menu(std::make_unique<DBusMenuExporter>()),
      m_watcher(std::make_unique<QDBusServiceWatcher>(
          kWatcherService, m_bus,
          QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration)),
      m_serviceName(QStringLiteral("org.kde.StatusNotifierItem-%1-1")
                        .arg(QCoreApplication::applicationPid())) {
    connect(m_watcher.get(), &QDBusServiceWatcher::serviceRegistered, this,
            &StatusNotifierTray::registerWithWatcher);
    connect(m_watcher.get(), &QDBusServiceWatcher::serviceUnregistered, this,
            [this] { setRegistered(false); });
    if (m_bus.isConnected() && m_bus.interface()->isServiceRegistered(kWatcherService))
        registerWithWatcher();
    else
        setRegistered(false);
}

StatusNotifierTray::~StatusNotifierTray() {
    if (m_exported) {
        m_bus.unregisterObject(kItemPath);
        m_bus.unregisterObject(kMenuPath);
        m_bus.unregisterService(m_serviceName);
    }
}

void StatusNotifierTray::registerWithWatcher() {
    if (!m_exported) {
        m_exported = m_bus.registerObject(kItemPath, m_item.get(),
                                          QDBusConnection::ExportAllSlots |
                                              QDBusConnection::ExportAllSignals |
                                              QDBusConnection::ExportAllProperties) &&
                     m_bus.registerObject(kMenuPath, m_menu.get(),
                                          QDBusConnection::ExportAllSlots |
                                              QDBusConnection::ExportAllSignals |
                                              QDBusConnection::ExportAllProperties) &&
                     m_bus.registerService(m_serviceName);
        if (!m_exported) {
            qWarning("velmora: the status item could not be put on the session bus: %s",
                     qPrintable(m_bus.lastError().message()));
            setRegistered(false);
            return;
        }
    }
    // Hosted from now on, unless the watcher refuses: a stand-in tray made meanwhile would be
    // a second icon.
    setRegistered(true);
    QDBusMessage call =
        QDBusMessage::createMethodCall(kWatcherService, kWatcherPath, kWatcherService,
                                       QStringLiteral("RegisterStatusNotifierItem"));
    call << m_serviceName;
    auto* pending =
        new QDBusPendingCallWatcher(m_bus.asyncCall(call, kRegistrationTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* answered) {
                answered->deleteLater();
                const QDBusPendingReply<> reply = *answered;
                if (reply.isError())
                    qWarning("velmora: the tray's watcher refused the status item: %s",
                             qPrintable(reply.error().message()));
                setRegistered(!reply.isError());
            });
}

void StatusNotifierTray::setRegistered(bool registered) {
    if (registered == m_registered && m_told)
        return;
    m_registered = registered;
    m_told = true;
    m_watcherChanged(registered);
}

} // namespace platform::linuxdesk::sni
