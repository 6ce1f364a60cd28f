// The preference calls on a store that cannot be written: the user hears of it once, and the
// change is written when the store can be written again.
#include "platform/services/PreferenceCalls.h"
#include "platform/local/files/FileLock.h"
#include "platform/local/system/PreferenceStore.h"
#include "platform/services/Platform.h"
#include "platform/world/World.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

using platform::world::events::UserNotice;

TEST(PreferenceCallsTest, AFailedWriteIsToldOnceAndTheChangeWaitsForTheNextOne) {
    platform::world::World world;
    platform::ScopedPlatform installed(world.services());
    const QString domain = QStringLiteral("io.velmora.Velmora");
    platform::PreferenceStore& store = platform::preferences();
    store.setLockLimit(std::chrono::milliseconds(100));
    ASSERT_TRUE(QDir().mkpath(store.folder()));
    auto held =
        platform::FileLock::acquire(store.folder() + u'/' + domain + QStringLiteral(".lock"));
    ASSERT_TRUE(held);

    CFPreferencesSetAppValue(QStringLiteral("ReverseOrder"), QVariant(true), domain);
    EXPECT_FALSE(CFPreferencesAppSynchronize(domain));
    EXPECT_FALSE(CFPreferencesAppSynchronize(domain));
    const auto notices = world.eventsOf<UserNotice>();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(notices[0].text.startsWith(QStringLiteral("Velmora could not save its settings.")))
        << notices[0].text.toStdString();

    held.reset();
    EXPECT_TRUE(CFPreferencesAppSynchronize(domain));
    EXPECT_EQ(
        platform::PreferenceStore(store.folder()).copyValue(QStringLiteral("ReverseOrder"), domain),
        QVariant(true));
    EXPECT_EQ(world.eventsOf<UserNotice>().size(), 1u);
}

} // namespace
