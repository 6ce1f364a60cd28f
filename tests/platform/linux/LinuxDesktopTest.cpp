// The Linux Finder over a real selection file, and the Linux workspace's icons.
#include "platform/linux/LinuxServices.h"
#include "platform/linux/SelectionFile.h"
#include "platform/local/files/Files.h"

#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

using platform::linuxdesk::LinuxFinder;

int gIdleCalls = 0;
Boolean countingIdle(EventRecord*, SInt32*, RgnHandle*) {
    ++gIdleCalls;
    return false;
}

class LinuxFinderTest : public ::testing::Test {
protected:
    QByteArray folder() const { return QFile::encodeName(m_dir.path()) + "/velmora"; }
    QByteArray file(const char* name) const {
        const QByteArray path = QFile::encodeName(m_dir.path()) + '/' + name;
        QFile out(QFile::decodeName(path));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        return path;
    }
    QTemporaryDir m_dir;
};

TEST_F(LinuxFinderTest, MissingSelectionFileIsAnEmptySelection) {
    LinuxFinder finder(folder());
    AEDescList list;
    ASSERT_EQ(finder.getSelection(nullptr, &list), noErr);
    EXPECT_EQ(list.descriptorType, typeAEList);
    EXPECT_TRUE(list.items.isEmpty());

    // No folder at all is no selection, not a file at the root of the file system.
    const QByteArray planted = "/finder-selection";
    QFile plant(QString::fromLatin1(planted));
    if (!plant.exists() && plant.open(QIODevice::WriteOnly)) {
        plant.write("file://" + file("x.txt") + '\n');
        plant.close();
        LinuxFinder nowhere{QByteArray()};
        ASSERT_EQ(nowhere.getSelection(nullptr, &list), noErr);
        plant.remove();
        EXPECT_TRUE(list.items.isEmpty());
    }
}

// After Velmora (or the file manager) renames a selected item, the item stays selected under its
// new name, and the selection file says so for the next reader; an item deleted is not
// confused with another.
TEST_F(LinuxFinderTest, ARenamedItemStaysSelected) {
    const QByteArray a = file("a.txt");
    const QByteArray b = file("b.txt");
    ASSERT_TRUE(platform::linuxdesk::writeSelectionFile(folder(), {a, b}, nullptr));
    LinuxFinder finder(folder());
    AEDescList list;
    ASSERT_EQ(finder.getSelection(nullptr, &list), noErr);

    const QByteArray renamed = QFile::encodeName(m_dir.path()) + "/A.TXT";
    ASSERT_EQ(rename(a.constData(), renamed.constData()), 0);
    ASSERT_EQ(unlink(b.constData()), 0);
    file("other.txt");
    ASSERT_EQ(finder.getSelection(nullptr, &list), noErr);
    ASSERT_EQ(list.items.size(), 2);
    EXPECT_EQ(list.items.at(0).data, renamed);
    EXPECT_EQ(list.items.at(1).data, b);
    const std::vector<QByteArray> expected{renamed, b};
    EXPECT_EQ(platform::linuxdesk::readSelectionFile(folder() + "/finder-selection"), expected);
}

TEST_F(LinuxFinderTest, AWriteInProgressIsWaitedForWithTheIdleRoutine) {
    const QByteArray a = file("a.txt");
    ASSERT_TRUE(platform::linuxdesk::writeSelectionFile(folder(), {a}, nullptr));
    const int lock =
        open((folder() + "/finder-selection.lock").constData(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);

    LinuxFinder finder(folder());
    AEDescList list;
    gIdleCalls = 0;
    ASSERT_EQ(finder.getSelection(countingIdle, &list), noErr);
    EXPECT_GT(gIdleCalls, 1);
    EXPECT_LT(gIdleCalls, 20);
    EXPECT_EQ(list.items.size(), 1);

    close(lock);
}

// A file's themed icon is checked with the desktop conformance tests.
TEST(LinuxWorkspaceTest, AFolderHasAnIconAndAMissingItemNone) {
    platform::linuxdesk::LinuxWorkspace workspace;
    QTemporaryDir dir;
    EXPECT_TRUE(workspace.iconForFile(dir.path()));
    EXPECT_FALSE(workspace.iconForFile(dir.filePath(QStringLiteral("missing.txt"))));
}

} // namespace
