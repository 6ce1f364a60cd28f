// "Copy and Paste Title" against a world's browsers: every browser's own title script, and what
// the clipboard holds when there is no title to be had.
#include "commands/browsers/BrowserCommands.h"
#include "common/MenuItems.h"
#include "platform/world/World.h"
#include "tests/support/QtPrinters.h"

#include <QMenu>
#include <gtest/gtest.h>

namespace {

namespace events = platform::world::events;

class BrowserCommandsTest : public ::testing::Test {
protected:
    BrowserCommandsTest() {
        m_world.clipboard.items = {{{{QStringLiteral("public.utf8-plain-text"), "before"}}}};
    }
    void choose(const QString& browser) {
        SelectBrowserItem(AppendActionItem(&m_menu, browser, "selBrowserItem:", std::nullopt));
    }
    QByteArray clipboardText() const {
        const auto& items = m_world.clipboard.items;
        return items.size() == 1 && items[0].flavors.size() == 1 ? items[0].flavors[0].second
                                                                 : QByteArray("<not one text>");
    }
    size_t pastes() const { return m_world.eventsOf<events::Keystroke>().size(); }

    platform::world::World m_world;
    platform::ScopedPlatform m_installed{m_world.services()};
    QMenu m_menu;
};

// Each browser is asked in its own words; a title with quotes and line breaks arrives whole.
TEST_F(BrowserCommandsTest, EveryBrowsersScriptCopiesItsTitleThenPastes) {
    const QString title = QStringLiteral("Say \"hi\"\r\nto « every » tab");
    size_t browsers = 0;
    for (const Browser& browser : Browsers()) {
        const QString name = QString::fromLatin1(browser.name);
        m_world.applications[name] = {.installed = true, .running = true, .windowTitle = title};
        choose(name);
        EXPECT_EQ(clipboardText(), title.toUtf8()) << browser.name;
        EXPECT_EQ(pastes(), ++browsers) << browser.name;
        m_world.clipboard.items = {{{{QStringLiteral("public.utf8-plain-text"), "before"}}}};
    }
    EXPECT_TRUE(m_world.eventsOf<events::Alert>().empty());
}

TEST_F(BrowserCommandsTest, AnEmptyTitleIsATitleAndAnUnknownItemDoesNothing) {
    m_world.applications["Google Chrome"] = {
        .installed = true, .running = true, .windowTitle = QString()};
    choose(QStringLiteral("safari"));
    choose(QStringLiteral("Lynx"));
    EXPECT_TRUE(m_world.events().empty());
    choose(QStringLiteral("Google Chrome"));
    ASSERT_EQ(m_world.clipboard.items.size(), 1u);
    EXPECT_EQ(clipboardText(), "");
    EXPECT_EQ(pastes(), 1u);
}

} // namespace
