// Run on a private session bus (dbus-run-session) where D-Bus starts the gvfs metadata daemon
// on demand, as a GNOME, Cinnamon or MATE session does: what Velmora tells it is what GIO file
// managers read back.
#include "platform/linux/LinuxServices.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The item's metadata::custom-icon as `gio info` shows it, empty when it has none.
QString GioCustomIcon(const QString& path) {
    QProcess gio;
    gio.start(QStringLiteral("gio"), {QStringLiteral("info"), QStringLiteral("-a"),
                                      QStringLiteral("metadata::custom-icon"), path});
    if (!gio.waitForFinished(10000))
        return QStringLiteral("gio did not answer");
    const QString prefix = QStringLiteral("metadata::custom-icon: ");
    for (const QString& line : QString::fromUtf8(gio.readAllStandardOutput()).split(u'\n'))
        if (line.trimmed().startsWith(prefix))
            return line.trimmed().mid(prefix.size());
    return {};
}

TEST(GvfsCustomIcon, TheMetadataDaemonKeepsTheIconUntilItIsRemoved) {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        << "run this test under dbus-run-session";
    QTemporaryDir dir;
    const QString item = dir.filePath(QStringLiteral("caf\u00e9 notes.txt"));
    QFile file(item);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    platform::linuxdesk::LinuxWorkspace workspace;
    workspace.customIconChanged(item, dir.filePath(QStringLiteral("icons/ab 1.png")));
    EXPECT_EQ(GioCustomIcon(item),
              QStringLiteral("file://") + dir.path() + QStringLiteral("/icons/ab%201.png"));
    workspace.customIconChanged(item, std::nullopt);
    EXPECT_EQ(GioCustomIcon(item), QString());
}

} // namespace
