// The compositor's list of toplevels against a compositor of the test's own: titles as other
// programs set them (not UTF-8, with line breaks and quotes) read safely, a closed toplevel is
// gone at once, a wait for an activation that never comes ends within its bound, and a list
// withdrawn or a compositor gone leaves no toplevel to act on.
#include "platform/linux/wayland/ForeignToplevels.h"
#include "StandInCompositor.h"
#include "platform/linux/wayland/WaylandConnection.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using platform::linuxdesk::wayland::ForeignToplevels;
using platform::linuxdesk::wayland::WaylandConnection;
using namespace stand_in;

class ForeignToplevelsTest : public ::testing::Test {
protected:
    ForeignToplevelsTest() {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        m_compositor = std::make_unique<StandInCompositor>();
        qputenv("WAYLAND_DISPLAY", m_compositor->socketName());
    }

    QTemporaryDir m_runtime;
    std::unique_ptr<StandInCompositor> m_compositor;
};

TEST_F(ForeignToplevelsTest, TitlesComeSafelyAndTheListFollowsTheCompositor) {
    m_compositor->addToplevel("org.example.Writer", "Writer", true);
    auto toplevels = ForeignToplevels::connect(WaylandConnection::connect());
    ASSERT_TRUE(toplevels);
    const int browser =
        m_compositor->addToplevel("firefox", "\"Quoted\"\nnext \xff\xfe caf\xc3\xa9", true);
    ASSERT_TRUE(toplevels->synchronize(2s));

    const auto active = toplevels->activated();
    ASSERT_TRUE(active);
    EXPECT_EQ(active->applicationId, QStringLiteral("firefox"));
    EXPECT_EQ(active->title, QStringLiteral("\"Quoted\"\nnext \ufffd\ufffd caf\u00e9"));
    // The one activated last comes first.
    const auto list = toplevels->toplevels();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].id, active->id);
    EXPECT_EQ(list[1].applicationId, QStringLiteral("org.example.Writer"));
    EXPECT_FALSE(list[1].activated);

    m_compositor->closeToplevel(browser);
    ASSERT_TRUE(toplevels->synchronize(2s));
    EXPECT_FALSE(toplevels->find(active->id));
    EXPECT_FALSE(toplevels->activated());
    EXPECT_FALSE(toplevels->waitUntilActivated(active->id, 2s));
}

TEST_F(ForeignToplevelsTest, AWaitForAnActivationEndsWithinItsBound) {
    m_compositor->addToplevel("org.example.Writer", "Writer", true);
    m_compositor->addToplevel("org.example.Other", "Other", false);
    auto toplevels = ForeignToplevels::connect(WaylandConnection::connect());
    ASSERT_TRUE(toplevels);
    const auto other = toplevels->toplevels().back();
    ASSERT_EQ(other.applicationId, QStringLiteral("org.example.Other"));

    ASSERT_TRUE(toplevels->activate(other.id));
    EXPECT_TRUE(toplevels->waitUntilActivated(other.id, 2s));

    const auto writer = toplevels->toplevels().back();
    m_compositor->setActivationHonoured(false);
    ASSERT_TRUE(toplevels->activate(writer.id));
    QElapsedTimer waited;
    waited.start();
    EXPECT_FALSE(toplevels->waitUntilActivated(writer.id, 300ms));
    EXPECT_LT(waited.elapsed(), 1000);
}

TEST_F(ForeignToplevelsTest, AListWithdrawnOrACompositorGoneLeavesNothingToActOn) {
    m_compositor->addToplevel("org.example.Writer", "Writer", true);
    const auto connection = WaylandConnection::connect();
    auto withdrawn = ForeignToplevels::connect(connection);
    ASSERT_TRUE(withdrawn);
    const quint64 id = withdrawn->activated()->id;
    m_compositor->withdrawToplevels();
    connection->roundtrip(2s);
    EXPECT_FALSE(withdrawn->usable());
    EXPECT_FALSE(withdrawn->activated());
    EXPECT_TRUE(withdrawn->toplevels().empty());
    EXPECT_FALSE(withdrawn->activate(id));
    EXPECT_FALSE(ForeignToplevels::connect(connection));
    withdrawn.reset();

    m_compositor.reset();
    m_compositor = std::make_unique<StandInCompositor>();
    qputenv("WAYLAND_DISPLAY", m_compositor->socketName());
    m_compositor->addToplevel("org.example.Writer", "Writer", true);
    auto gone = ForeignToplevels::connect(WaylandConnection::connect());
    ASSERT_TRUE(gone && gone->activated());
    m_compositor->disconnectClients();
    EXPECT_FALSE(gone->synchronize(2s));
    EXPECT_FALSE(gone->activated());
    EXPECT_FALSE(gone->waitUntilActivated(id, 2s));
}

} // namespace
