// The floor of the click-to-menu benchmark: the least a Qt tray application can do between the
// click on its icon and its menu on the screen. Like Velmora it opens its menu on a left click,
// at the pointer, and rebuilds it at every opening: here twelve plain items.
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmora-floor-tray"));
    QMenu menu;
    QObject::connect(&menu, &QMenu::aboutToShow, [&menu] {
        menu.clear();
        for (int n = 1; n <= 12; ++n)
            menu.addAction(QStringLiteral("Item %1 of the floor's menu").arg(n));
    });
    QPixmap picture(22, 22);
    picture.fill(Qt::darkCyan);
    QSystemTrayIcon tray{QIcon(picture)};
    tray.setContextMenu(&menu);
    QObject::connect(&tray, &QSystemTrayIcon::activated,
                     [&menu](QSystemTrayIcon::ActivationReason reason) {
                         if (reason == QSystemTrayIcon::Trigger)
                             menu.popup(QCursor::pos());
                     });
    tray.show();
    return QApplication::exec();
}
