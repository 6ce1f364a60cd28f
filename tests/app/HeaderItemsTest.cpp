#include "app/AppController.h"
#include "app/ContextFlags.h"
#include "common/MenuItems.h"
#include "platform/services/Pasteboard.h"
#include "platform/world/World.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

namespace {

class HeaderItemsTest : public ::testing::Test {
protected:
    HeaderItemsTest() : m_installed(m_world.services()) {}

    QStringList titles(AppController& controller) const {
        QStringList result;
        for (QAction* item : controller.menu()->actions())
            result.append(item->isSeparator() ? QStringLiteral("---") : ItemTitle(item));
        return result;
    }
    void clipboardText(const QByteArray& text) {
        m_world.clipboard.items = {{{{kUTTypeUTF8PlainText, text}}}};
    }

    platform::world::World m_world;
    platform::ScopedPlatform m_installed;
};

TEST_F(HeaderItemsTest, OnlyTheNameMailExactlyIsMail) {
    for (const auto& [name, isMail] :
         std::vector<std::pair<QString, bool>>{{QStringLiteral("Mail"), true},
                                               {QStringLiteral("mail"), false},
                                               {QStringLiteral("Mailer"), false},
                                               {QStringLiteral("Mail "), false},
                                               {QStringLiteral("Apple Mail"), false}}) {
        m_world.frontApp = platform::world::FrontApplication{name, QString(), {}};
        AppController controller;
        EXPECT_EQ(controller.addProcessNameMenuItem(), isMail) << name.toStdString();
    }
    m_world.frontApp.reset();
    AppController controller;
    const int before = int(controller.menu()->actions().size());
    EXPECT_FALSE(controller.addProcessNameMenuItem());
    EXPECT_EQ(controller.menu()->actions().size(), before);
}

TEST_F(HeaderItemsTest, FlagsFollowTheClipboardAtEachRebuild) {
    clipboardText("first");
    AppController controller;
    EXPECT_TRUE(gClipboardHasText);
    EXPECT_FALSE(gClipboardHasImage);
    m_world.clipboard.items.clear();
    controller.menuNeedsUpdate(controller.menu());
    EXPECT_FALSE(gClipboardHasText);
    EXPECT_EQ(titles(controller).mid(0, 4), QStringList({"The Finder has no active selection",
                                                         "---", "Clipboard:", "Desktop Pictures"}));
}

// A long text is one label holding all of it; an "&" in it is shown, not read as a mnemonic.
TEST_F(HeaderItemsTest, ALongClipboardTextIsOneWholeLabel) {
    QByteArray text(200000, 'x');
    text.append(" & line\nbreak");
    clipboardText(text);
    AppController controller;
    const QList<QAction*> items = controller.menu()->actions();
    ASSERT_GE(items.size(), 4);
    EXPECT_EQ(ItemTitle(items[3]), QString::fromUtf8(text));
    EXPECT_LT(items[3]->text().size(), 300) << "Qt lays out only what can be seen";
    EXPECT_FALSE(items[3]->isEnabled());
}

} // namespace
