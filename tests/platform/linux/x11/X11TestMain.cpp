// Entry of the tests that need a real X server: starts a private Xvfb and runs the tests as an
// xcb application on it.
#include <QApplication>
#include <QProcess>
#include <QThread>
#include <cstdio>
#include <gtest/gtest.h>
#include <optional>

namespace {

// The display number of a started Xvfb, or -1. Xvfb picks a free number itself and writes it
// out, so that tests running side by side never share a server.
int startXvfb(QProcess& xvfb) {
    xvfb.start(QStringLiteral("Xvfb"),
               {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                QStringLiteral("800x600x24")});
    if (!xvfb.waitForStarted(5000))
        return -1;
    QByteArray written;
    while (!written.contains('\n') && xvfb.waitForReadyRead(10000))
        written += xvfb.readAllStandardOutput();
    bool number = false;
    const int display = written.trimmed().toInt(&number);
    return number ? display : -1;
}

// Starts openbox on the display and waits until it announces itself as the window manager
// (_NET_SUPPORTING_WM_CHECK on the root window); three tries. What openbox said, when it never did.
std::optional<QByteArray> startWindowManager(QProcess& manager) {
    QByteArray said;
    for (int attempt = 0; attempt < 3; ++attempt) {
        manager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        if (!manager.waitForStarted(5000))
            return manager.errorString().toUtf8();
        for (int waited = 0; waited < 100; ++waited) {
            QProcess xprop;
            xprop.start(QStringLiteral("xprop"),
                        {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
            if (xprop.waitForFinished(2000) && xprop.readAllStandardOutput().contains("window id"))
                return std::nullopt;
            if (manager.waitForFinished(50))
                break;
        }
        said = manager.readAll();
        manager.kill();
        manager.waitForFinished();
        QThread::msleep(200);
    }
    return said;
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
    if (!qEnvironmentVariableIsSet("VELMORA_TEST_BARE_X")) {
        manager.setProcessChannelMode(QProcess::MergedChannels);
        if (const auto said = startWindowManager(manager)) {
            std::fprintf(stderr, "openbox could not be started: %s\n", said->constData());
            return 1;
        }
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
