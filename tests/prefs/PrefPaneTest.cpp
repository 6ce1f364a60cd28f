// The preference window against a world's store: what it loads, what its buttons write, and
// that closing any window of the application announces the change.
#include "prefs/PrefPane.h"
#include "platform/local/system/PreferenceStore.h"
#include "platform/world/World.h"
#include "prefs/Identifiers.h"
#include "tests/support/QtPrinters.h"

#include <QCheckBox>
#include <QMenu>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

namespace events = platform::world::events;

const QStringList kTopGroup = {
    "IncludeContent",    "IncludeSubject",       "IncludeReplyTo",
    "IncludeSender",     "IncludeSenderName",    "IncludeSenderAddress",
    "IncludeRecipient",  "IncludeRecipientName", "IncludeRecipientAddress",
    "MessageID",         "MailMessageID",        "AllHeaders",
    "AllHeadersContent", "IncludeDate",          "IncludeTime",
    "IncludeSummary",    "IncludeSource"};
const QStringList kBottomGroup = {"IncludeAddRecipientToAddressBook",
                                  "IncludeAddToAddressBook",
                                  "MakeAsSubmenu",
                                  "UseCommaDelimiter",
                                  "ReverseOrder",
                                  "DontMakeCompletionSound"};
const QStringList kSaving = {"IncludeSaveToPDF", "IncludeSaveToRTF"};

class PrefPaneTest : public ::testing::Test {
protected:
    bool box(VelmoraPrefPane& pane, const QString& key) {
        auto* check = pane.window()->findChild<QCheckBox*>(key);
        EXPECT_NE(check, nullptr) << key.toStdString();
        return check && check->isChecked();
    }
    // What another process reads: only what was synchronised to the file counts.
    QVariant onDisk(const QString& key) {
        platform::PreferenceStore other(m_world.preferences().folder());
        return other.copyValue(key, kApplicationIdentifier).value_or(QVariant());
    }
    void store(const QString& key, const QVariant& value) {
        m_world.preferences().setValue(key, value, kApplicationIdentifier);
        ASSERT_TRUE(m_world.preferences().synchronize(kApplicationIdentifier));
    }

    platform::world::World m_world;
    platform::ScopedPlatform m_installed{m_world.services()};
};

TEST_F(PrefPaneTest, AnEmptyStoreShowsEveryBoxOnButTheLastThreeOptions) {
    VelmoraPrefPane pane;
    for (const QString& key : kTopGroup + kBottomGroup + kSaving) {
        const bool off =
            key == "UseCommaDelimiter" || key == "ReverseOrder" || key == "DontMakeCompletionSound";
        EXPECT_EQ(box(pane, key), !off) << key.toStdString();
    }
    EXPECT_EQ(pane.window()->findChildren<QCheckBox*>().size(), 25);
    EXPECT_EQ(pane.handlers().size(), 29);
}

TEST_F(PrefPaneTest, AValueOfAnotherTypeShowsTheDefaultUntilAClickWritesABoolean) {
    store("ReverseOrder", QVariant(QStringLiteral("true")));
    store("IncludeContent", QVariant(0));
    store("IncludeDate", QVariant(false));
    VelmoraPrefPane pane;
    EXPECT_FALSE(box(pane, "ReverseOrder"));
    EXPECT_TRUE(box(pane, "IncludeContent"));
    EXPECT_FALSE(box(pane, "IncludeDate"));
    ASSERT_TRUE(pane.click("reverseOrderButtonClicked:"));
    EXPECT_EQ(onDisk("ReverseOrder"), QVariant(true));
    ASSERT_TRUE(pane.click("includeContentButtonClicked:"));
    EXPECT_EQ(onDisk("IncludeContent"), QVariant(false));
    EXPECT_FALSE(pane.click("noSuchButtonClicked:"));
}

TEST_F(PrefPaneTest, GroupButtonsWriteTheirGroupAndNeverTheSavingBoxes) {
    store("IncludeSaveToPDF", QVariant(false));
    VelmoraPrefPane pane;
    ASSERT_TRUE(pane.click("includeNoneTopButtonClicked:"));
    for (const QString& key : kTopGroup) {
        EXPECT_EQ(onDisk(key), QVariant(false)) << key.toStdString();
        EXPECT_FALSE(box(pane, key));
    }
    EXPECT_FALSE(onDisk("MakeAsSubmenu").isValid());

    ASSERT_TRUE(pane.click("includeAllBottomButtonClicked:"));
    for (const QString& key : kBottomGroup)
        EXPECT_EQ(onDisk(key), QVariant(true)) << key.toStdString();
    ASSERT_TRUE(pane.click("includeNoneBottomButtonClicked:"));
    for (const QString& key : kBottomGroup)
        EXPECT_EQ(onDisk(key), QVariant(false)) << key.toStdString();
    EXPECT_FALSE(box(pane, "IncludeSaveToPDF"));
    EXPECT_TRUE(box(pane, "IncludeSaveToRTF"));
    EXPECT_EQ(onDisk("IncludeSaveToPDF"), QVariant(false));
    EXPECT_FALSE(onDisk("IncludeSaveToRTF").isValid());
    EXPECT_TRUE(m_world.eventsOf<events::Notification>().empty());
}

TEST_F(PrefPaneTest, ClosingAnyWindowWritesEveryBoxAndAnnouncesTheChange) {
    VelmoraPrefPane pane;
    QWidget other;
    other.setWindowTitle(QStringLiteral("Movie Info"));
    other.show();
    other.close();
    for (const QString& key : kTopGroup + kBottomGroup + kSaving)
        EXPECT_TRUE(onDisk(key).typeId() == QMetaType::Bool) << key.toStdString();
    const auto posted = m_world.eventsOf<events::Notification>();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].name, QStringLiteral("Preferences Changed"));
    EXPECT_EQ(posted[0].object, kPreferenceIdentifier);
}

// The tray menu closes at every use: that writes nothing, so what another process stored in the
// meantime stays.
TEST_F(PrefPaneTest, ClosingTheMenuWritesNothing) {
    VelmoraPrefPane pane;
    store(QStringLiteral("ReverseOrder"), true);
    QMenu menu;
    menu.addAction(QStringLiteral("Quit"));
    menu.popup(QPoint(10, 10));
    menu.close();
    EXPECT_EQ(onDisk(QStringLiteral("ReverseOrder")), QVariant(true));
    EXPECT_TRUE(m_world.eventsOf<events::Notification>().empty());
}

} // namespace
