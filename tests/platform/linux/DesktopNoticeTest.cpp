// Run on a private session bus (dbus-run-session), where the test itself is the desktop's
// notification server: what the user would see pop up is what reaches it over the bus.
#include "platform/linux/LinuxMail.h"
#include "platform/linux/LinuxServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class NotificationServer : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() != QLatin1String("Notify"))
            return false;
        bodies.append(message.arguments().value(4).toString());
        connection.send(message.createReply(QVariantList{QVariant(1u)}));
        return true;
    }
    QStringList bodies;
};

// Processes events until `done` holds or `milliseconds` have passed.
template <typename Condition> bool waitFor(Condition done, int milliseconds = 5000) {
    QDeadlineTimer deadline(milliseconds);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

class DesktopNotice : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            << "run this test under dbus-run-session";
        QDBusConnection bus = QDBusConnection::sessionBus();
        ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
        ASSERT_TRUE(
            bus.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), &m_server));
        m_path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_bin.path()) + ':' + m_path);
    }
    void TearDown() override {
        qputenv("PATH", m_path);
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
        bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    }

    // An xdg-open that leaves a mark and exits with `status`, as the real one does when it finds
    // an application (0) or none (3); xdg-email alike.
    void installOpener(int status, const QString& name = QStringLiteral("xdg-open")) {
        QFile script(m_bin.filePath(name));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\ntouch '" + QFile::encodeName(m_bin.filePath("ran")) + "'\nexit " +
                     QByteArray::number(status) + "\n");
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ExeOwner);
    }

    NotificationServer m_server;
    QTemporaryDir m_bin;
    QByteArray m_path;
};

// When no application opens the preview, the user is told, naming the file; when one does,
// nothing pops up.
TEST_F(DesktopNotice, AFileNothingOpensIsSaidInANotification) {
    platform::linuxdesk::LinuxWorkspace workspace;
    installOpener(3);
    EXPECT_TRUE(workspace.openFile(QStringLiteral("/tmp/velmora/Clipboard.png")));
    ASSERT_TRUE(waitFor([&] { return !m_server.bodies.isEmpty(); }));
    EXPECT_TRUE(m_server.bodies.first().contains(QLatin1String("Clipboard.png")))
        << m_server.bodies.first().toStdString();

    m_server.bodies.clear();
    QFile::remove(m_bin.filePath(QStringLiteral("ran")));
    installOpener(0);
    EXPECT_TRUE(workspace.openFile(QStringLiteral("/tmp/velmora/Clipboard.png")));
    ASSERT_TRUE(waitFor([&] { return QFile::exists(m_bin.filePath(QStringLiteral("ran"))); }));
    // xdg-open's exit reaches Velmora a moment after its mark.
    waitFor([] { return false; }, 500);
    EXPECT_TRUE(m_server.bodies.isEmpty());
}

// Email Items without a mail client: the notice names the items, as the message's subject does,
// and not the archives made for it. A folder no file manager shows is named with its place.
TEST_F(DesktopNotice, NoMailClientOrFileManagerIsSaidNamingTheUsersItems) {
    installOpener(3, QStringLiteral("xdg-email"));
    EXPECT_TRUE(platform::linuxdesk::ComposeWithXdgEmail(
        {QStringLiteral("/run/user/1/velmora/Parcelo/1234/Photos.zip")},
        QStringLiteral("Photos, notes.txt")));
    ASSERT_TRUE(waitFor([&] { return !m_server.bodies.isEmpty(); }));
    EXPECT_TRUE(m_server.bodies.first().contains(QStringLiteral("\u201cPhotos, notes.txt\u201d")))
        << m_server.bodies.first().toStdString();
    EXPECT_FALSE(m_server.bodies.first().contains(QLatin1String("Parcelo")));

    m_server.bodies.clear();
    installOpener(3);
    QTemporaryDir pictures;
    platform::linuxdesk::LinuxWorkspace workspace;
    EXPECT_TRUE(workspace.openFile(pictures.path()));
    ASSERT_TRUE(waitFor([&] { return !m_server.bodies.isEmpty(); }));
    EXPECT_EQ(m_server.bodies.first(),
              QStringLiteral("No file manager could show the folder \u201c%1\u201d. It is at %2.")
                  .arg(QFileInfo(pictures.path()).fileName(), pictures.path()));
}

// Where no notification server answers, the notice is a window of its own.
TEST_F(DesktopNotice, WithoutANotificationServerTheNoticeIsAWindow) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
    bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    const auto notice = [] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(window);
                box && box->objectName() == QLatin1String("velmora-notice") && box->isVisible())
                return box;
        }
        return static_cast<QMessageBox*>(nullptr);
    };
    installOpener(3, QStringLiteral("xdg-email"));
    platform::linuxdesk::ComposeWithXdgEmail({}, QStringLiteral("notes.txt"));
    ASSERT_TRUE(waitFor([&] { return notice() != nullptr; }, 10000));
    EXPECT_TRUE(notice()->text().contains(QStringLiteral("\u201cnotes.txt\u201d")));
    notice()->close();
}

// A distributed notification is a signal on the session bus, which any program can match.
TEST_F(DesktopNotice, DistributedNotificationsAreSignalsOnTheBus) {
    QProcess monitor;
    monitor.start(
        QStringLiteral("dbus-monitor"),
        {QStringLiteral("--session"),
         QStringLiteral("type='signal',interface='io.velmora.DistributedNotifications'")});
    ASSERT_TRUE(monitor.waitForStarted());
    QByteArray seen;
    // dbus-monitor says when it has become a monitor, before any signal it passes on.
    ASSERT_TRUE(waitFor([&] { return !(seen += monitor.readAllStandardOutput()).isEmpty(); }));
    platform::linuxdesk::LinuxNotifications().postDistributed(
        QStringLiteral("io.velmora.PreferencesChanged"), QStringLiteral("io.velmora.Velmora"),
        true);
    EXPECT_TRUE(waitFor([&] {
        seen += monitor.readAllStandardOutput();
        return seen.contains("io.velmora.PreferencesChanged");
    })) << seen.constData();
    EXPECT_TRUE(seen.contains("path=/io/velmora/Notifications")) << seen.constData();
    EXPECT_TRUE(seen.contains("member=Notification")) << seen.constData();
    monitor.kill();
    monitor.waitForFinished();
}

} // namespace
