// Velmora's item for StatusNotifierItem hosts, and its registration with the watcher.
//
// A host (KDE Plasma, GNOME's AppIndicator extension, waybar, XFCE's and Budgie's panels) finds
// items through org.kde.StatusNotifierWatcher, draws each item's icon and, for an item that says
// it is a menu (ItemIsMenu), opens the item's exported menu at the icon itself on any click.
// Shells start and restart at any time: the tray follows the watcher's name on the bus, registers
// whenever a watcher appears, and says whether one is there so that the XEmbed tray can stand
// in while none is.
#pragma once

#include "platform/linux/sni/DBusMenuTypes.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QIcon>
#include <QObject>
#include <QPoint>
#include <functional>
#include <memory>

class QDBusServiceWatcher;
class QMenu;

namespace platform::linuxdesk::sni {

class DBusMenuExporter;

// The org.kde.StatusNotifierItem object.
class StatusNotifierItem : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ iconThemePath)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(platform::linuxdesk::sni::IconPixmapList IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ emptyName)
    Q_PROPERTY(platform::linuxdesk::sni::IconPixmapList OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ emptyName)
    Q_PROPERTY(platform::linuxdesk::sni::IconPixmapList AttentionIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ emptyName)
    Q_PROPERTY(platform::linuxdesk::sni::ToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menuPath)

public:
    explicit StatusNotifierItem(QObject* parent = nullptr);

    void setIcon(const QIcon& icon);
    // What a host's Activate or ContextMenu does (a host that ignores ItemIsMenu), with the
    // place the host gives; what SecondaryActivate (a middle click) does.
    void setActivation(std::function<void(QPoint)> activate) { m_activate = std::move(activate); }
    void setSecondaryActivation(std::function<void()> other) { m_other = std::move(other); }

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return QStringLiteral("velmora"); }
    QString title() const { return QStringLiteral("Velmora"); }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString iconThemePath() const { return {}; }
    QString iconName() const { return m_icon.name(); }
    IconPixmapList iconPixmap() const { return m_pixmaps; }
    QString emptyName() const { return {}; }
    IconPixmapList noPixmaps() const { return {}; }
    ToolTip toolTip() const;
    bool itemIsMenu() const { return true; }
    QDBusObjectPath menuPath() const;

public slots:
    void ContextMenu(int x, int y);
    void Activate(int x, int y);
    void SecondaryActivate(int x, int y);
    void Scroll(int delta, const QString& orientation);

signals:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& status);

private:
    QIcon m_icon;
    IconPixmapList m_pixmaps;
    std::function<void(QPoint)> m_activate;
    std::function<void()> m_other;
};

// The item and its menu on a session bus, registered with whichever watcher is there.
class StatusNotifierTray : public QObject {
    Q_OBJECT

public:
    // `watcherChanged` hears whether a watcher has the item now (from the moment the item is
    // offered to it until it refuses or goes); it is called once at once.
    StatusNotifierTray(QDBusConnection bus, std::function<void(bool)> watcherChanged,
                       QObject* parent = nullptr);
    ~StatusNotifierTray() override;

    StatusNotifierItem& item() { return *m_item; }
    DBusMenuExporter& menu() { return *m_menu; }
    QString serviceName() const { return m_serviceName; }
    bool registered() const { return m_registered; }

private:
    void registerWithWatcher();
    void setRegistered(bool registered);

    QDBusConnection m_bus;
    std::function<void(bool)> m_watcherChanged;
    std::unique_ptr<StatusNotifierItem> m_item;
    std::unique_ptr<DBusMenuExporter> m_menu;
    std::unique_ptr<QDBusServiceWatcher> m_watcher;
    QString m_serviceName;
    bool m_exported = false;
    bool m_registered = false;
    bool m_told = false;
};

} // namespace platform::linuxdesk::sni
