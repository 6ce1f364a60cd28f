// Entry of the tests that need a real X server: starts a private Xvfb and runs the tests as an
// xcb application on it.
#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// The display number of a started Xvfb, or -1.
int startXvfb(QProcess& xvfb) {
    for (int display = 90 + getpid() % 400, tries = 0; tries < 20; ++display, ++tries) {
        if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(display)))
            continue;
        xvfb.start(QStringLiteral("Xvfb"),
                   {QStringLiteral(":%1").arg(display), QStringLiteral("-nolisten"),
                    QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                    QStringLiteral("800x600x24")});
        if (!xvfb.waitForStarted(5000))
            return -1;
        for (int waited = 0; waited < 100; ++waited) {
            if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(display)))
                return display;
            if (xvfb.waitForFinished(50))
                break;
        }
        xvfb.kill();
        xvfb.waitForFinished();
    }
    return -1;
}

// Starts openbox on the display and waits until it announces itself as the window manager
// (_NET_SUPPORTING_WM_CHECK on the root window). False where there is none to start.
bool startWindowManager(QProcess& manager) {
    manager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    if (!manager.waitForStarted(5000))
        return false;
    for (int waited = 0; waited < 100; ++waited) {
        QProcess xprop;
        xprop.start(QStringLiteral("xprop"),
                    {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
        if (xprop.waitForFinished(2000) && xprop.readAllStandardOutput().contains("window id"))
            return true;
        if (manager.waitForFinished(50))
            return false;
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QProcess xvfb;
    const int display = startXvfb(xvfb);
    if (display < 0) {
        std::fprintf(stderr, "Xvfb could not be started\n");
        return 1;
    }
    qputenv("DISPLAY", QByteArray(":") + QByteArray::number(display));
    qputenv("QT_QPA_PLATFORM", "xcb");
    // Under openbox, where the active window is announced; the run with VELMORA_TEST_BARE_X
    // checks the bare X server, where it is asked.
    QProcess manager;
    if (!qEnvironmentVariableIsSet("VELMORA_TEST_BARE_X") && !startWindowManager(manager)) {
        std::fprintf(stderr, "openbox could not be started\n");
        return 1;
    }
    int status = 0;
    {
        QApplication application(argc, argv);
        status = RUN_ALL_TESTS();
    }
    manager.terminate();
    manager.waitForFinished();
    xvfb.terminate();
    xvfb.waitForFinished();
    return status;
}
