// The status menu as com.canonical.dbusmenu describes it, for the hosts that draw a tray item's
// menu themselves (StatusNotifierItem hosts: KDE Plasma, GNOME's AppIndicator extension, waybar).
//
// The controller rebuilds its QMenu at each opening and deletes every item of the last one. A
// host that saw new ids at every opening would throw its menu away each time and draw the new
// one in the old one's size, so an item's id comes from what the item is: its action and what
// that acts on, a submenu's title, a label's text. An id keeps its meaning for as long as Velmora
// runs and never names another item, so an event for an id the host kept from an older menu
// either reaches the same command or nothing.
//
// The root's AboutToShow rebuilds the menu, compares it with what hosts were last told, and
// sends the difference: one LayoutUpdated when items came or went, one ItemsPropertiesUpdated
// for what changed in place. Submenus that fill when shown are filled when a host asks for them
// (AboutToShow, the "opened" event, or GetLayout of them or of a menu above them to a depth that
// reaches them). Pictures that are still to be loaded are
// described without their picture, and follow in ItemsPropertiesUpdated from short slices of the
// main loop: a list of a thousand pictures answers at once.
//
// Some hosts (waybar, through libdbusmenu) show the menu in the size of the layout they hold at
// the click and ask for the opening only as it shows, so the layout is also kept current while
// the menu is closed: the menu is rebuilt now and then, and hosts hear of what changed. The
// rebuilds keep to a small share of the time, and stop while a host is using the menu.
#pragma once

#include "platform/linux/sni/DBusMenuTypes.h"

#include <QDBusContext>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QHash>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <functional>

class QAction;
class QMenu;

namespace platform::linuxdesk::sni {

class DBusMenuExporter : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    explicit DBusMenuExporter(QObject* parent = nullptr);
    ~DBusMenuExporter() override;

    // The menu described; its aboutToShow signal is how it hears of an opening.
    void setMenu(QMenu* menu);
    // Called as a host opens the menu, before the menu rebuilds; not before a rebuild that only
    // keeps the menu current.
    void setBeforeOpening(std::function<void()> beforeOpening) {
        m_beforeOpening = std::move(beforeOpening);
    }

    // Rebuilds the menu every `interval` at least, while hosts leave it alone; stops when zero.
    void keepCurrent(std::chrono::milliseconds interval);
    // Rebuilds it at once (after what is queued): what the menu shows has just changed.
    void refreshSoon();

    uint version() const { return 3; }
    QString textDirection() const;
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }
    uint revision() const { return m_revision; }

public slots:
    bool AboutToShow(int id);
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                   platform::linuxdesk::sni::MenuLayoutItem& layout);
    platform::linuxdesk::sni::MenuItemPropertiesList
    GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames);
    QDBusVariant GetProperty(int id, const QString& name);
    void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    QList<int> EventGroup(const platform::linuxdesk::sni::MenuEventList& events);

signals:
    void ItemsPropertiesUpdated(const platform::linuxdesk::sni::MenuItemPropertiesList& updated,
                                const platform::linuxdesk::sni::MenuItemPropertyNamesList& removed);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

private:
    struct Node {
        QPointer<QAction> action; // none for the root
        QPointer<QMenu> submenu;
        QVariantMap properties;
        QList<int> children;
        bool filled = true;
    };

    // What changed between the menu and what hosts were told.
    struct Changes {
        bool layout = false;
        MenuItemPropertiesList updated;
        MenuItemPropertyNamesList removed;
        bool any() const { return layout || !updated.isEmpty() || !removed.isEmpty(); }
    };

    // An opening by a host, or (`byHost` false) a rebuild to keep the menu current, which leaves
    // what an opening takes note of (the window in front) as the last opening found it.
    bool open(int id, bool byHost = true);
    void fill(int id);
    void snapshot(int id);
    void refreshIfStale();
    QVariantMap propertiesOf(int id, QAction* action);
    QByteArray pictureOf(const QIcon& icon);
    Changes changesUnder(int id);
    void announce(int id, const Changes& changes);
    MenuLayoutItem describe(int id, int depth, const QStringList& names);
    void removeSubtree(int id);
    void sendPictures();
    void refreshWhileIdle();
    void hostAsked() { m_sinceHostAsked.start(); }
    int idFor(const QString& key);
    bool known(int id) const { return m_nodes.contains(id); }
    // Makes the item of `id` live again when it is in a submenu that a rebuild has not filled
    // since: a host may hold a submenu's items from before the rebuild.
    bool resolve(int id);

    QPointer<QMenu> m_menu;
    std::function<void()> m_beforeOpening;
    QHash<int, Node> m_nodes;
    QHash<QString, int> m_ids;
    QHash<int, QString> m_keys;
    QHash<int, int> m_parents;
    // What hosts were last told of each item: its properties and its children.
    QHash<int, QVariantMap> m_described;
    QHash<int, QList<int>> m_describedChildren;
    // The PNGs of this opening's pictures, by their icons' cache keys.
    QHash<qint64, QByteArray> m_pictures;
    // The PNGs already made, by the pixels they encode.
    QHash<size_t, QByteArray> m_encoded;
    QList<int> m_waitingPictures;
    QTimer m_pictureSlices;
    QTimer m_idleRefresh;
    std::chrono::milliseconds m_idleInterval{0};
    QElapsedTimer m_sinceHostAsked;
    int m_nextId = 1;
    uint m_revision = 1;
    bool m_stale = true;
};

} // namespace platform::linuxdesk::sni
