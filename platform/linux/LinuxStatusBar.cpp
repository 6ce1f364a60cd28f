#include "platform/linux/LinuxServices.h"

#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

namespace platform::linuxdesk {

LinuxStatusItem::LinuxStatusItem() : m_tray(std::make_unique<QSystemTrayIcon>()) {
    m_tray->setToolTip(QStringLiteral("Velmora"));
    QObject::connect(m_tray.get(), &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         if (reason == QSystemTrayIcon::Trigger && m_menu)
                             m_menu->popup(QCursor::pos());
                     });
    m_tray->show();
}

LinuxStatusItem::~LinuxStatusItem() {
    m_tray->setContextMenu(nullptr);
}

void LinuxStatusItem::setImage(const QIcon& image, const QString&) {
    m_tray->setIcon(image);
}

void LinuxStatusItem::setHighlightMode(bool) {}

void LinuxStatusItem::setMenu(QMenu* menu) {
    m_menu = menu;
    m_tray->setContextMenu(menu);
}

std::unique_ptr<StatusItem> LinuxStatusBar::statusItemWithLength(double) {
    return std::make_unique<LinuxStatusItem>();
}

} // namespace platform::linuxdesk
