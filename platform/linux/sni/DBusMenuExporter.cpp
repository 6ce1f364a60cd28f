#include "platform/linux/sni/DBusMenuExporter.h"

#include "platform/local/media/MenuPictures.h"
#include "platform/services/StatusBar.h"

#include <QAction>
#include <QActionGroup>
#include <QBuffer>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QPixmap>

namespace platform::linuxdesk::sni {

namespace {

namespace props = platform::menu_properties;

// The longest a slice of picture loading keeps the main loop, in milliseconds.
constexpr qint64 kPictureSliceMs = 8;
// Pictures that are not previews go out at this size at least, where the picture has it;
// hosts scale down to what their menus draw.
constexpr int kSmallestSentPicture = 32;
// A host that asked something this recently may have the menu open: no rebuild behind it.
constexpr qint64 kHostBusyMs = 1000;
// An idle rebuild waits at least this many times as long as the last one took.
constexpr int kIdleShare = 50;
// Encoded pictures kept from one opening to the next: the menu's own and a long recent list.
constexpr qsizetype kEncodedPicturesKept = 4096;

// dbusmenu marks a mnemonic with "_" and writes a literal "_" as "__"; Qt marks it with "&" and
// writes a literal "&" as "&&".
QString hostLabel(const QString& qtText) {
    QString label;
    label.reserve(qtText.size());
    for (qsizetype i = 0; i < qtText.size(); ++i) {
        const QChar c = qtText.at(i);
        if (c == u'&') {
            if (i + 1 < qtText.size() && qtText.at(i + 1) == u'&') {
                label += u'&';
                ++i;
            } else {
                label += u'_';
            }
        } else if (c == u'_') {
            label += QStringLiteral("__");
        } else {
            label += c;
        }
    }
    return label;
}

// What an item is, among its siblings: a command by its action, a submenu by its title, a label
// by its text, a separator by its place among separators. Each row of the top menu is one of a
// kind, so the header keeps its id while the selection it names changes; a submenu may hold one
// command over many items (the recent pictures, the browsers), each item its own by what the
// command acts on, or its title when it says nothing more.
QString siblingKey(const QAction* action, bool topMenu, int& separators) {
    if (action->isSeparator())
        return QStringLiteral("-%1").arg(separators++);
    if (const QVariant name = action->property(props::kAction); name.isValid()) {
        QString key = QStringLiteral("!") + name.toString();
        if (!topMenu) {
            const QString data = action->data().toString();
            key += u'=' + (data.isEmpty() ? action->text() : data);
        }
        return key;
    }
    if (QMenu::menuInAction(action))
        return QStringLiteral(">") + action->text();
    return QStringLiteral(":") + action->text();
}

QVariantMap only(const QVariantMap& properties, const QStringList& names) {
    if (names.isEmpty())
        return properties;
    QVariantMap chosen;
    for (const QString& name : names)
        if (const auto found = properties.constFind(name); found != properties.constEnd())
            chosen.insert(name, *found);
    return chosen;
}

bool waitsToBeFilled(const QMenu* menu) {
    return menu && menu->property(props::kWaitsToBeFilled).toBool();
}

} // namespace

DBusMenuExporter::DBusMenuExporter(QObject* parent) : QObject(parent) {
    RegisterTypes();
    m_nodes.insert(0, Node{{}, {}, propertiesOf(0, nullptr), {}, true});
    m_keys.insert(0, QString());
    m_ids.insert(QString(), 0);
    m_pictureSlices.setInterval(0);
    connect(&m_pictureSlices, &QTimer::timeout, this, &DBusMenuExporter::sendPictures);
    m_idleRefresh.setSingleShot(true);
    connect(&m_idleRefresh, &QTimer::timeout, this, &DBusMenuExporter::refreshWhileIdle);
}

void DBusMenuExporter::keepCurrent(std::chrono::milliseconds interval) {
    m_idleInterval = interval;
    if (interval.count() > 0)
        m_idleRefresh.start(interval);
    else
        m_idleRefresh.stop();
}

void DBusMenuExporter::refreshSoon() {
    if (m_idleInterval.count() <= 0)
        return;
    m_sinceHostAsked.invalidate();
    m_idleRefresh.start(0);
}

void DBusMenuExporter::refreshWhileIdle() {
    if (m_idleInterval.count() <= 0)
        return;
    qint64 took = 0;
    if (m_menu && (!m_sinceHostAsked.isValid() || m_sinceHostAsked.elapsed() > kHostBusyMs)) {
        QElapsedTimer rebuild;
        rebuild.start();
        open(0, false);
        took = rebuild.elapsed();
    }
    m_idleRefresh.start(std::max<qint64>(m_idleInterval.count(), took * kIdleShare));
}

DBusMenuExporter::~DBusMenuExporter() = default;

void DBusMenuExporter::setMenu(QMenu* menu) {
    if (m_menu)
        disconnect(m_menu, nullptr, this, nullptr);
    m_menu = menu;
    m_nodes[0].submenu = menu;
    m_stale = true;
    // An opening that did not come through a host (the menu popped up by Velmora itself) rebuilt
    // the menu behind the snapshot.
    if (menu)
        connect(menu, &QMenu::aboutToShow, this, [this] { m_stale = true; });
}

QString DBusMenuExporter::textDirection() const {
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl")
                                                                 : QStringLiteral("ltr");
}

int DBusMenuExporter::idFor(const QString& key) {
    if (const auto found = m_ids.constFind(key); found != m_ids.constEnd())
        return *found;
    const int id = m_nextId++;
    m_ids.insert(key, id);
    m_keys.insert(id, key);
    return id;
}

bool DBusMenuExporter::resolve(int id) {
    if (known(id))
        return true;
    const auto parent = m_parents.constFind(id);
    if (parent == m_parents.constEnd() || !resolve(*parent))
        return false;
    if (m_nodes[*parent].submenu && !m_nodes[*parent].filled)
        fill(*parent);
    return known(id);
}

void DBusMenuExporter::removeSubtree(int id) {
    const auto found = m_nodes.constFind(id);
    if (found == m_nodes.constEnd())
        return;
    const QList<int> children = found->children;
    m_nodes.remove(id);
    for (int child : children)
        removeSubtree(child);
}

void DBusMenuExporter::refreshIfStale() {
    if (!m_stale)
        return;
    m_stale = false;
    m_pictures.clear();
    snapshot(0);
}

// Reads the items under `id` from the menu as it is now. The item itself keeps its properties.
void DBusMenuExporter::snapshot(int id) {
    const QList<int> old = m_nodes[id].children;
    for (int child : old)
        removeSubtree(child);
    QMenu* menu = m_nodes[id].submenu;
    const bool filled = menu && !waitsToBeFilled(menu);
    QList<int> children;
    if (filled) {
        const QString key = m_keys.value(id);
        QHash<QString, int> uses;
        int separators = 0;
        for (QAction* action : menu->actions()) {
            QString childKey = key + u'/' + siblingKey(action, id == 0, separators);
            if (const int earlier = uses[childKey]++)
                childKey += QStringLiteral("#%1").arg(earlier);
            const int child = idFor(childKey);
            m_parents.insert(child, id);
            Node node;
            node.action = action;
            node.submenu = QMenu::menuInAction(action);
            m_nodes.insert(child, node);
            m_nodes[child].properties = propertiesOf(child, action);
            children.append(child);
            snapshot(child);
        }
    }
    Node& node = m_nodes[id];
    node.children = children;
    node.filled = filled;
}

QByteArray DBusMenuExporter::pictureOf(const QIcon& icon) {
    if (icon.isNull())
        return {};
    const auto cached = m_pictures.constFind(icon.cacheKey());
    if (cached != m_pictures.constEnd())
        return *cached;
    const QSize size = MenuPictureSize(icon).value_or(
        QSize(kSmallestSentPicture, kSmallestSentPicture).expandedTo(QSize(1, 1)));
    const QImage image = icon.pixmap(size, 1.0).toImage();
    QByteArray png;
    if (!image.isNull()) {
        // The controller makes its icons anew at each opening: the same pixels are encoded once.
        const size_t pixels = qHashMulti(0, image.width(), image.height(),
                                         QByteArrayView(image.constBits(), image.sizeInBytes()));
        if (const auto encoded = m_encoded.constFind(pixels); encoded != m_encoded.constEnd()) {
            png = *encoded;
        } else {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            if (m_encoded.size() >= kEncodedPicturesKept)
                m_encoded.clear();
            m_encoded.insert(pixels, png);
        }
    }
    m_pictures.insert(icon.cacheKey(), png);
    return png;
}

QVariantMap DBusMenuExporter::propertiesOf(int id, QAction* action) {
    QVariantMap properties;
    if (!action) {
        properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
        return properties;
    }
    if (!action->isVisible())
        properties.insert(QStringLiteral("visible"), false);
    if (action->isSeparator()) {
        properties.insert(QStringLiteral("type"), QStringLiteral("separator"));
        return properties;
    }
    properties.insert(QStringLiteral("label"), hostLabel(action->text()));
    if (!action->isEnabled())
        properties.insert(QStringLiteral("enabled"), false);
    if (action->isCheckable()) {
        properties.insert(QStringLiteral("toggle-type"),
                          action->actionGroup() && action->actionGroup()->isExclusive()
                              ? QStringLiteral("radio")
                              : QStringLiteral("checkmark"));
        properties.insert(QStringLiteral("toggle-state"), action->isChecked() ? 1 : 0);
    }
    if (QMenu::menuInAction(action))
        properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    // A row that is only a picture says what it is to a host that draws pictures small or reads
    // the menu aloud; other rows are read by their titles (hosts read the description instead).
    if (const QVariant toolTip = action->property(props::kToolTip);
        toolTip.isValid() && action->text().isEmpty())
        properties.insert(QStringLiteral("accessible-desc"), toolTip.toString());
    const QIcon icon = action->icon();
    if (MenuPictureWaits(icon)) {
        if (!m_waitingPictures.contains(id))
            m_waitingPictures.append(id);
        if (!m_pictureSlices.isActive())
            m_pictureSlices.start();
    } else if (const QByteArray png = pictureOf(icon); !png.isEmpty()) {
        properties.insert(QStringLiteral("icon-data"), png);
    }
    return properties;
}

DBusMenuExporter::Changes DBusMenuExporter::changesUnder(int id) {
    Changes changes;
    const Node& node = m_nodes[id];
    if (node.filled && m_describedChildren.value(id, {-1}) != node.children)
        changes.layout = true;
    if (const auto told = m_described.constFind(id);
        told != m_described.constEnd() && *told != node.properties) {
        MenuItemProperties updated{id, {}};
        MenuItemPropertyNames removed{id, {}};
        for (auto property = node.properties.cbegin(); property != node.properties.cend();
             ++property)
            if (told->value(property.key()) != property.value())
                updated.properties.insert(property.key(), property.value());
        for (auto property = told->cbegin(); property != told->cend(); ++property)
            if (!node.properties.contains(property.key()))
                removed.names.append(property.key());
        if (!updated.properties.isEmpty())
            changes.updated.append(updated);
        if (!removed.names.isEmpty())
            changes.removed.append(removed);
        m_described.insert(id, node.properties);
    }
    if (node.filled) {
        const QList<int> children = node.children;
        for (int child : children) {
            const Changes below = changesUnder(child);
            changes.layout = changes.layout || below.layout;
            changes.updated += below.updated;
            changes.removed += below.removed;
        }
    }
    return changes;
}

void DBusMenuExporter::announce(int id, const Changes& changes) {
    if (!changes.any())
        return;
    ++m_revision;
    if (changes.layout)
        emit LayoutUpdated(m_revision, id);
    if (!changes.updated.isEmpty() || !changes.removed.isEmpty())
        emit ItemsPropertiesUpdated(changes.updated, changes.removed);
}

void DBusMenuExporter::fill(int id) {
    QMenu* submenu = m_nodes[id].submenu;
    if (waitsToBeFilled(submenu))
        emit submenu->aboutToShow();
    snapshot(id);
}

bool DBusMenuExporter::open(int id, bool byHost) {
    if (id == 0) {
        if (!m_menu)
            return false;
        if (byHost && m_beforeOpening)
            m_beforeOpening();
        emit m_menu->aboutToShow();
        m_stale = false;
        m_pictures.clear();
        snapshot(0);
    } else {
        refreshIfStale();
        if (!resolve(id) || !m_nodes[id].submenu)
            return false;
        fill(id);
    }
    const Changes changes = changesUnder(id);
    announce(id, changes);
    return changes.any();
}

// A host that asks for the layout below an item asks for its submenus: GTK's hosts give a row
// a submenu only when the layout brings the submenu's rows, and size it by them.
MenuLayoutItem DBusMenuExporter::describe(int id, int depth, const QStringList& names) {
    if (depth != 0 && m_nodes[id].submenu && !m_nodes[id].filled)
        fill(id);
    const Node node = m_nodes.value(id);
    MenuLayoutItem item{id, only(node.properties, names), {}};
    m_described.insert(id, node.properties);
    if (!node.submenu || depth == 0)
        return item;
    m_describedChildren.insert(id, node.children);
    for (int child : node.children)
        item.children.append(describe(child, depth < 0 ? depth : depth - 1, names));
    return item;
}

bool DBusMenuExporter::AboutToShow(int id) {
    hostAsked();
    return open(id);
}

QList<int> DBusMenuExporter::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    hostAsked();
    QList<int> updatesNeeded;
    for (int id : ids) {
        refreshIfStale();
        if (!resolve(id))
            idErrors.append(id);
        else if (open(id))
            updatesNeeded.append(id);
    }
    return updatesNeeded;
}

uint DBusMenuExporter::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                 MenuLayoutItem& layout) {
    hostAsked();
    refreshIfStale();
    if (!resolve(parentId)) {
        if (calledFromDBus())
            sendErrorReply(QDBusError::InvalidArgs,
                           QStringLiteral("There is no menu item %1").arg(parentId));
        return m_revision;
    }
    if (m_nodes[parentId].submenu && !m_nodes[parentId].filled)
        fill(parentId);
    layout = describe(parentId, recursionDepth, propertyNames);
    return m_revision;
}

MenuItemPropertiesList DBusMenuExporter::GetGroupProperties(const QList<int>& ids,
                                                            const QStringList& propertyNames) {
    hostAsked();
    refreshIfStale();
    MenuItemPropertiesList found;
    const QList<int> asked = ids.isEmpty() ? m_nodes.keys() : ids;
    for (int id : asked) {
        const auto node = m_nodes.constFind(id);
        if (node == m_nodes.constEnd())
            continue;
        found.append({id, only(node->properties, propertyNames)});
        m_described.insert(id, node->properties);
    }
    return found;
}

QDBusVariant DBusMenuExporter::GetProperty(int id, const QString& name) {
    hostAsked();
    refreshIfStale();
    const auto node = m_nodes.constFind(id);
    if (node == m_nodes.constEnd() || !node->properties.contains(name)) {
        if (calledFromDBus())
            sendErrorReply(QDBusError::InvalidArgs,
                           QStringLiteral("Menu item %1 has no property %2").arg(id).arg(name));
        return QDBusVariant(QVariant(0));
    }
    return QDBusVariant(node->properties.value(name));
}

// A click runs its command after the answer has gone: a command may show an alert, and the
// host must not wait for the user.
void DBusMenuExporter::Event(int id, const QString& eventId, const QDBusVariant&, uint) {
    hostAsked();
    refreshIfStale();
    if (!resolve(id))
        return;
    const auto node = m_nodes.constFind(id);
    // The menu closed: nobody is looking at it, and it may be brought up to date.
    if (id == 0 && eventId == u"closed")
        m_sinceHostAsked.invalidate();
    if (eventId == u"opened" && node->submenu && !node->filled) {
        open(id);
        return;
    }
    if (eventId != u"clicked" || node->submenu || !node->action)
        return;
    QPointer<QAction> action = node->action;
    if (action->isSeparator() || !action->isEnabled())
        return;
    QTimer::singleShot(0, action, [action] {
        if (action && action->isEnabled())
            action->trigger();
    });
}

QList<int> DBusMenuExporter::EventGroup(const MenuEventList& events) {
    hostAsked();
    refreshIfStale();
    QList<int> idErrors;
    for (const MenuEvent& event : events) {
        if (!resolve(event.id))
            idErrors.append(event.id);
        else
            Event(event.id, event.eventId, event.data, event.timestamp);
    }
    return idErrors;
}

// Loads waiting pictures for a few milliseconds, sends those loaded, and gives the loop back.
void DBusMenuExporter::sendPictures() {
    QElapsedTimer slice;
    slice.start();
    MenuItemPropertiesList updated;
    while (!m_waitingPictures.isEmpty() && slice.elapsed() < kPictureSliceMs) {
        const int id = m_waitingPictures.takeFirst();
        if (!resolve(id))
            continue;
        const auto node = m_nodes.find(id);
        if (!node->action)
            continue;
        const QByteArray png = pictureOf(node->action->icon());
        if (png.isEmpty())
            continue;
        node->properties.insert(QStringLiteral("icon-data"), png);
        if (m_described.contains(id)) {
            updated.append({id, {{QStringLiteral("icon-data"), png}}});
            m_described.insert(id, node->properties);
        }
    }
    if (m_waitingPictures.isEmpty())
        m_pictureSlices.stop();
    if (!updated.isEmpty()) {
        ++m_revision;
        emit ItemsPropertiesUpdated(updated, {});
    }
}

} // namespace platform::linuxdesk::sni
