// Velmora: a status-menu utility. Everything happens in its menu; the one argument,
// --preferences, opens the preference window, in the Velmora already running if there is one.
#include "app/AppController.h"
#include "platform/linux/LinuxDesktop.h"
#include "platform/linux/SelectionFile.h"
#include "platform/linux/SingleInstance.h"
#include "platform/services/Platform.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[]) {
    platform::linuxdesk::PreferX11OnWayland();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList arguments = QApplication::arguments().mid(1);
    const bool preferences = arguments == QStringList{QStringLiteral("--preferences")};
    if (!arguments.isEmpty() && !preferences) {
        std::fprintf(stderr, "usage: velmora [--preferences]\n");
        return 2;
    }

    const auto environment = platform::linuxdesk::DesktopEnvironment::fromProcess();
    AppController* running = nullptr;
    platform::linuxdesk::SingleInstance instance(
        platform::linuxdesk::selectionFolder(environment.runtimeDir, environment.cacheHome,
                                             environment.home),
        [&running] {
            if (running)
                running->selItemPreferences(nullptr);
        });
    if (!instance.isFirst()) {
        if (!preferences) {
            std::fprintf(stderr, "velmora: Velmora is already running; its icon is in the tray\n");
            return 0;
        }
        if (!platform::linuxdesk::SingleInstance::askFirstToShowPreferences()) {
            std::fprintf(stderr, "velmora: Velmora is already running, but it could not be asked "
                                 "to show its preferences (no session bus)\n");
            return 1;
        }
        return 0;
    }

    platform::linuxdesk::LinuxDesktop desktop(environment);
    platform::install(desktop.services());

    AppController controller;
    running = &controller;
    controller.applicationWillFinishLaunching();
    if (preferences)
        QTimer::singleShot(0, &controller,
                           [&controller] { controller.selItemPreferences(nullptr); });
    const int status = QApplication::exec();
    controller.applicationWillTerminate();
    running = nullptr;
    return status;
}
