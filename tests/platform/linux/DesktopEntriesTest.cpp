#include "platform/linux/DesktopEntries.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using platform::linuxdesk::ApplicationDesktopEntries;

QStringList names() {
    QStringList found;
    for (const auto& entry : ApplicationDesktopEntries())
        found.append(entry.name);
    found.sort();
    return found;
}

void write(const QString& path, const QByteArray& name) {
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write("[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + name.toLower() +
              "\n");
}

// The entries are known once and read again at the next look after any change under the
// applications folders: an entry added, one rewritten in place (which leaves its folder's time
// alone), one in a subfolder, one removed, and the folder itself made only after the first look.
TEST(DesktopEntriesTest, EveryChangeIsSeenAtTheNextLook) {
    QTemporaryDir home;
    QTemporaryDir system;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(system.path()));
    const QString applications = home.filePath(QStringLiteral("applications"));
    const QString shared = system.filePath(QStringLiteral("applications"));
    ASSERT_TRUE(QDir().mkpath(shared));
    write(shared + QStringLiteral("/first.desktop"), "First");
    EXPECT_EQ(names(), QStringList{QStringLiteral("First")});

    ASSERT_TRUE(QDir().mkpath(applications + QStringLiteral("/vendor")));
    write(applications + QStringLiteral("/browser.desktop"), "Browser");
    EXPECT_EQ(names(), (QStringList{QStringLiteral("Browser"), QStringLiteral("First")}));
    write(shared + QStringLiteral("/first.desktop"), "Renamed");
    EXPECT_EQ(names(), (QStringList{QStringLiteral("Browser"), QStringLiteral("Renamed")}));
    write(applications + QStringLiteral("/vendor/deep.desktop"), "Deep");
    EXPECT_EQ(names(), (QStringList{QStringLiteral("Browser"), QStringLiteral("Deep"),
                                    QStringLiteral("Renamed")}));
    ASSERT_TRUE(QFile::remove(applications + QStringLiteral("/browser.desktop")));
    EXPECT_EQ(names(), (QStringList{QStringLiteral("Deep"), QStringLiteral("Renamed")}));
    EXPECT_EQ(names(), (QStringList{QStringLiteral("Deep"), QStringLiteral("Renamed")}));
}

} // namespace
