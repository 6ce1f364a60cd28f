// The Finder's three operations, through the process-wide seam, against the world's Finder.
#include "platform/local/files/Files.h"
#include "platform/services/Finder.h"
#include "platform/services/Processes.h"
#include "platform/world/World.h"

#include <QFile>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

using platform::world::SelectionElement;

class FinderInterface : public ::testing::Test {
protected:
    FinderInterface() : m_installed(m_world.services()) {
        QFile file(m_world.root() + QStringLiteral("/a.txt"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        m_path = QFile::encodeName(file.fileName());
        m_world.finder.selection = {{m_path, SelectionElement::Form::Object}};
    }
    platform::world::World m_world;
    platform::ScopedPlatform m_installed;
    QByteArray m_path;
};

// A selection that resolves is the desktop conformance tests'; here, what the Finder refuses.
TEST_F(FinderInterface, OnlyObjectSpecifiersOfExistingItemsGetAnAlias) {
    AliasHandle alias;
    AEDesc notAnObject = AECreateDesc(typeFSRef, QByteArray(80, '\0'));
    EXPECT_EQ(MoreFEGetObjectAsAlias(&notAnObject, &alias, MyAEIdleProc), paramErr);
    AEDesc unknown = AECreateDesc(typeObjectSpecifier, m_path + ".gone");
    EXPECT_EQ(MoreFEGetObjectAsAlias(&unknown, &alias, MyAEIdleProc), errAENoSuchObject);
}

TEST_F(FinderInterface, AFinderThatIsNotRunningAnswersNothing) {
    m_world.finder.running = false;
    AliasHandle alias;
    AEDesc object = AECreateDesc(typeObjectSpecifier, m_path);
    EXPECT_EQ(MoreFEGetObjectAsAlias(&object, &alias, MyAEIdleProc), procNotFound);
    EXPECT_TRUE(alias.isEmpty());
}

TEST_F(FinderInterface, UpdatesAreSentForExistingItemsOnly) {
    FSRef ref;
    ASSERT_EQ(FSPathMakeRef(m_path, &ref), noErr);
    EXPECT_EQ(MoreFEUpdateItemFSRef(&ref), noErr);
    ASSERT_EQ(m_world.events().size(), 1);
    const auto updates = m_world.eventsOf<platform::world::events::FinderUpdate>();
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0].path, QFile::decodeName(m_path));
    ASSERT_TRUE(QFile::remove(QFile::decodeName(m_path)));
    EXPECT_EQ(MoreFEUpdateItemFSRef(&ref), fnfErr);
    EXPECT_EQ(m_world.events().size(), 1);
}

} // namespace
