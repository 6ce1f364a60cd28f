// Velmora: a status-menu utility. Everything happens in its menu; the one argument,
// --preferences, opens the preference window, in the Velmora already running if there is one.
#include "app/AppController.h"
#include "platform/linux/LinuxDesktop.h"
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

    AppController* running = nullptr;
    platform::linuxdesk::SingleInstance instance([&running] {
        if (running)
            running->selItemPreferences(nullptr);
    });
    if (!instance.isFirst()) {
        if (preferences && !platform::linuxdesk::SingleInstance::askFirstToShowPreferences())
            return 1;
        return 0;
    }

    platform::linuxdesk::LinuxDesktop desktop(
        platform::linuxdesk::DesktopEnvironment::fromProcess());
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
