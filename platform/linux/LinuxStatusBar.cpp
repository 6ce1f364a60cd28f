#include "platform/linux/LinuxServices.h"
#include "platform/linux/MenuPictureStyle.h"
#include "platform/linux/x11/X11Windows.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

namespace platform::linuxdesk {

LinuxStatusItem::LinuxStatusItem() : m_tray(std::make_unique<QSystemTrayIcon>()) {
    // The menu's previews are drawn at their own size; the application owns the style.
    if (!dynamic_cast<MenuPictureStyle*>(QApplication::style()))
        QApplication::setStyle(new MenuPictureStyle);
    m_tray->setToolTip(QStringLiteral("Velmora"));
    QObject::connect(m_tray.get(), &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         if (reason == QSystemTrayIcon::Trigger && m_menu) {
                             x11::RememberActiveWindow();
                             m_menu->popup(QCursor::pos());
                         } else if ((reason == QSystemTrayIcon::MiddleClick ||
                                     reason == QSystemTrayIcon::DoubleClick) &&
                                    m_other)
                             m_other();
                     });
}

LinuxStatusItem::~LinuxStatusItem() {
    m_tray->setContextMenu(nullptr);
}

void LinuxStatusItem::setImage(const QIcon& image, const QString&) {
    m_tray->setIcon(image);
}

void LinuxStatusItem::setHighlightMode(bool) {}

// The item appears once it has its menu, by then with its picture, or the theme's menu icon
// when the picture is missing: a tray icon without any picture would be invisible.
void LinuxStatusItem::setMenu(QMenu* menu) {
    m_menu = menu;
    m_tray->setContextMenu(menu);
    if (m_tray->icon().isNull())
        m_tray->setIcon(QIcon::fromTheme(QStringLiteral("open-menu")));
    m_tray->show();
}

std::unique_ptr<StatusItem> LinuxStatusBar::statusItemWithLength(double) {
    return std::make_unique<LinuxStatusItem>();
}

} // namespace platform::linuxdesk
