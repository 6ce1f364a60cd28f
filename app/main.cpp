// Velmora: a status-menu utility. It takes no command line; everything happens in the menu.
#include "app/AppController.h"
#include "platform/linux/LinuxDesktop.h"
#include "platform/services/Platform.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setQuitOnLastWindowClosed(false);

    platform::linuxdesk::LinuxDesktop desktop(
        platform::linuxdesk::DesktopEnvironment::fromProcess());
    platform::install(desktop.services());

    AppController controller;
    controller.applicationWillFinishLaunching();
    const int status = QApplication::exec();
    controller.applicationWillTerminate();
    return status;
}
