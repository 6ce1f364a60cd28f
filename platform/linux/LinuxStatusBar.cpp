#include "platform/linux/FrontWindows.h"
#include "platform/linux/LinuxServices.h"
#include "platform/linux/MenuPictureStyle.h"
#include "platform/linux/SelectionFile.h"
#include "platform/linux/sni/DBusMenuExporter.h"
#include "platform/linux/sni/StatusNotifierItem.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDBusConnection>
#include <QFile>
#include <QMenu>
#include <QSystemTrayIcon>

namespace platform::linuxdesk {

namespace {
using namespace std::chrono_literals;
// How often a hosted menu is brought up to date while closed (see DBusMenuExporter).
constexpr auto kKeptCurrentEvery = 500ms;
} // namespace

LinuxStatusItem::LinuxStatusItem() {
    // The menu's previews are drawn at their own size; the application owns the style.
    if (!dynamic_cast<MenuPictureStyle*>(QApplication::style()))
        QApplication::setStyle(new MenuPictureStyle);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    m_statusNotifier = std::make_unique<sni::StatusNotifierTray>(bus, [this](bool hosted) {
        m_hosted = hosted;
        showWhereHosted();
    });
    sni::StatusNotifierItem& item = m_statusNotifier->item();
    item.setActivation([this](QPoint place) { popUpAt(place); });
    item.setSecondaryActivation([this] {
        if (m_other)
            m_other();
    });
    // The window in front as the user opened the menu is where keystrokes go.
    m_statusNotifier->menu().setBeforeOpening([] { RememberFrontWindowAtOpening(); });
    // A host that sizes the menu before asking for it shows the new selection's or clipboard's
    // menu only if it has it already: both are told of at once.
    const QString selection = QFile::decodeName(
        selectionFolder(qgetenv("XDG_RUNTIME_DIR"), qgetenv("XDG_CACHE_HOME"), qgetenv("HOME")));
    if (!selection.isEmpty() && m_inputs.addPath(selection))
        QObject::connect(&m_inputs, &QFileSystemWatcher::directoryChanged,
                         [this] { m_statusNotifier->menu().refreshSoon(); });
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, &m_inputs,
                     [this] { m_statusNotifier->menu().refreshSoon(); });
}

LinuxStatusItem::~LinuxStatusItem() {
    if (m_xembed)
        m_xembed->setContextMenu(nullptr);
}

void LinuxStatusItem::setImage(const QIcon& image, const QString&) {
    m_image = image;
    if (m_statusNotifier)
        m_statusNotifier->item().setIcon(image);
    if (m_xembed)
        m_xembed->setIcon(image);
}

void LinuxStatusItem::setHighlightMode(bool) {}

void LinuxStatusItem::popUpAt(QPoint place) {
    if (!m_menu)
        return;
    RememberFrontWindowAtOpening();
    m_menu->popup(place);
}

// The item appears once it has its menu, by then with its picture, or the theme's menu icon
// when the picture is missing: a tray icon without any picture would be invisible.
void LinuxStatusItem::setMenu(QMenu* menu) {
    m_menu = menu;
    if (m_image.isNull())
        setImage(QIcon::fromTheme(QStringLiteral("open-menu")), QString());
    if (m_statusNotifier)
        m_statusNotifier->menu().setMenu(menu);
    showWhereHosted();
}

void LinuxStatusItem::showWhereHosted() {
    if (!m_menu)
        return;
    if (m_statusNotifier)
        m_statusNotifier->menu().keepCurrent(m_hosted ? kKeptCurrentEvery : 0ms);
    if (m_hosted) {
        if (m_xembed)
            m_xembed->hide();
        return;
    }
    if (!m_xembed) {
        m_xembed = std::make_unique<QSystemTrayIcon>();
        m_xembed->setToolTip(QStringLiteral("Velmora"));
        m_xembed->setIcon(m_image);
        QObject::connect(m_xembed.get(), &QSystemTrayIcon::activated,
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             if (reason == QSystemTrayIcon::Trigger)
                                 popUpAt(QCursor::pos());
                             else if ((reason == QSystemTrayIcon::MiddleClick ||
                                       reason == QSystemTrayIcon::DoubleClick) &&
                                      m_other)
                                 m_other();
                         });
    }
    m_xembed->setContextMenu(m_menu);
    m_xembed->show();
}

std::unique_ptr<StatusItem> LinuxStatusBar::statusItemWithLength(double) {
    return std::make_unique<LinuxStatusItem>();
}

} // namespace platform::linuxdesk
