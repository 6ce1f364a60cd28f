#include "app/AppController.h"
#include "app/ContextFlags.h"
#include "common/AlertMessages.h"
#include "common/MenuItems.h"
#include "platform/local/system/PreferenceStore.h"
#include "platform/services/Pasteboard.h"
#include "platform/world/World.h"
#include "prefs/Identifiers.h"
#include "prefs/PreferenceValues.h"

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

TEST_F(HeaderItemsTest, AlertsBeepAndAnswerWithTheButtonPressed) {
    m_world.alertAnswers = {2, 1};
    EXPECT_EQ(ShowAlertMessageWithCancel(QStringLiteral("Delete?"), std::nullopt), 2);
    EXPECT_EQ(ShowAlertMessageWithCancel(QStringLiteral("Delete?"), QStringLiteral("Really")), 1);
    EXPECT_EQ(ShowAlertMessageWithCancel(QStringLiteral("Once more"), std::nullopt), 1);
    EXPECT_EQ(ShowAlertMessage(QStringLiteral("Failed."), std::nullopt), noErr);

    namespace events = platform::world::events;
    const auto& recorded = m_world.events();
    ASSERT_EQ(recorded.size(), 9u);
    EXPECT_TRUE(std::holds_alternative<events::Beep>(recorded[0]));
    const auto* first = std::get_if<events::Alert>(&recorded[1]);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->buttons, QStringList({"OK", "Cancel"}));
    EXPECT_EQ(first->detail, std::nullopt);
    // Only the one-button alert brings Velmora forward itself.
    EXPECT_TRUE(std::holds_alternative<events::Front>(recorded[6]));
    EXPECT_TRUE(std::holds_alternative<events::Beep>(recorded[7]));
    const auto* last = std::get_if<events::Alert>(&recorded[8]);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->buttons, QStringList({"OK"}));
}

TEST_F(HeaderItemsTest, AFlagOfAnotherTypeReadsAsItsDefaultAndIsLeftAlone) {
    platform::PreferenceStore& store = m_world.preferences();
    EXPECT_FALSE(ReverseOrder());
    store.setValue(QStringLiteral("ReverseOrder"), QVariant(QStringLiteral("true")),
                   kApplicationIdentifier);
    store.setValue(QStringLiteral("MakeAsSubmenu"), QVariant(0), kApplicationIdentifier);
    ASSERT_TRUE(store.synchronize(kApplicationIdentifier));
    EXPECT_FALSE(ReverseOrder());
    EXPECT_TRUE(BooleanPreferenceValue(QStringLiteral("MakeAsSubmenu")));
    EXPECT_EQ(store.copyValue(QStringLiteral("ReverseOrder"), kApplicationIdentifier),
              QVariant(QStringLiteral("true")));

    // Another process's write is seen at the next read, with no restart.
    platform::PreferenceStore other(store.folder());
    other.setValue(QStringLiteral("ReverseOrder"), QVariant(true), kApplicationIdentifier);
    ASSERT_TRUE(other.synchronize(kApplicationIdentifier));
    EXPECT_TRUE(ReverseOrder());
}

} // namespace
