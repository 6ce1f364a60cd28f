// The user's temporary-items folder is made private and refused when someone could have planted
// or opened it.
#include "platform/linux/TemporaryItems.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using platform::linuxdesk::temporaryItemsFolder;

class TemporaryItemsTest : public ::testing::Test {
protected:
    QByteArray base() const { return QFile::encodeName(m_dir.path()); }
    QByteArray expected() const { return base() + "/run/velmora-temporary-items"; }
    QByteArray runtimeFolder() const {
        ::mkdir(base() + "/run", 0700);
        return temporaryItemsFolder(base() + "/run", {}, {});
    }
    QTemporaryDir m_dir;
};

// That the folder made is private is checked with the desktop conformance tests.
TEST_F(TemporaryItemsTest, MadeWhereTheXdgRulesSay) {
    EXPECT_EQ(runtimeFolder(), expected());
    EXPECT_EQ(runtimeFolder(), expected());

    EXPECT_EQ(temporaryItemsFolder("relative", base() + "/cache", {}),
              base() + "/cache/velmora-temporary-items");
    EXPECT_EQ(temporaryItemsFolder({}, {}, base() + "/home"),
              base() + "/home/.cache/velmora-temporary-items");
    EXPECT_EQ(temporaryItemsFolder({}, {}, {}), QByteArray());
}

TEST_F(TemporaryItemsTest, PlantedOrOpenFoldersAreRefused) {
    ASSERT_EQ(::mkdir(base() + "/run", 0700), 0);
    ASSERT_EQ(::mkdir(base() + "/elsewhere", 0700), 0);

    ASSERT_EQ(::symlink(base() + "/elsewhere", expected().constData()), 0);
    EXPECT_EQ(runtimeFolder(), QByteArray());
    ASSERT_EQ(::unlink(expected().constData()), 0);

    QFile(QFile::decodeName(expected())).open(QIODevice::WriteOnly);
    EXPECT_EQ(runtimeFolder(), QByteArray());
    ASSERT_EQ(::unlink(expected().constData()), 0);

    ASSERT_EQ(::mkdir(expected().constData(), 0700), 0);
    for (mode_t open : {0750, 0705, 0770, 01777}) {
        ASSERT_EQ(::chmod(expected().constData(), open), 0);
        EXPECT_EQ(runtimeFolder(), QByteArray()) << std::oct << open;
    }
    ASSERT_EQ(::chmod(expected().constData(), 0700), 0);
    EXPECT_EQ(runtimeFolder(), expected());
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(expected().constData(), 65534, 65534), 0);
        EXPECT_EQ(runtimeFolder(), QByteArray());
    }
}

} // namespace
