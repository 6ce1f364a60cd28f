// The preference window against a world's store: what its buttons write, and what they and the
// autostart box leave alone. What the window shows and what closing a window writes and
// announces are in the scenarios' golden files.
#include "prefs/PrefPane.h"
#include "platform/local/system/PreferenceStore.h"
#include "platform/world/World.h"
#include "prefs/Identifiers.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/WorldAlerts.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

namespace events = platform::world::events;

const QStringList kBottomGroup = {"IncludeAddRecipientToAddressBook",
                                  "IncludeAddToAddressBook",
                                  "MakeAsSubmenu",
                                  "UseCommaDelimiter",
                                  "ReverseOrder",
                                  "DontMakeCompletionSound"};

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

// What the top group's button writes is in the preference window's golden file; what it leaves
// alone is not.
TEST_F(PrefPaneTest, GroupButtonsWriteTheirGroupAndNeverTheSavingBoxes) {
    store("IncludeSaveToPDF", QVariant(false));
    VelmoraPrefPane pane;
    ASSERT_TRUE(pane.click("includeNoneTopButtonClicked:"));
    EXPECT_EQ(onDisk("IncludeContent"), QVariant(false));
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

// The autostart box is the entry in the autostart folder: clicking writes or removes it, the
// window shows whether it is there each time it opens, and a folder that cannot be written is
// an alert that leaves the box as the folder is.
TEST_F(PrefPaneTest, TheAutostartBoxWritesAndRemovesTheSessionsEntry) {
    const QString folder = m_world.home() + QStringLiteral("/.config/autostart");
    const QString entry = folder + QStringLiteral("/velmora.desktop");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString other = folder + QStringLiteral("/other.desktop");
    ASSERT_TRUE(fixtures::WriteText(other, "[Desktop Entry]\nType=Application\nExec=other\n"));
    VelmoraPrefPane pane;

    ASSERT_TRUE(pane.click(QStringLiteral("startAtLoginButtonClicked:")));
    EXPECT_TRUE(box(pane, QStringLiteral("StartAtLogin")));
    QFile written(entry);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray text = written.readAll();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\nType=Application\n")) << text.data();
    EXPECT_TRUE(
        text.contains("\nExec=\"" + QFile::encodeName(m_world.helperFolder) + "/velmora\"\n"))
        << text.data();
    EXPECT_FALSE(m_world.preferences()
                     .copyValue(QStringLiteral("StartAtLogin"), kApplicationIdentifier)
                     .has_value());

    // Switched off by the desktop's own settings, or removed meanwhile: the window shows it.
    ASSERT_TRUE(fixtures::WriteText(entry, text + "Hidden=true\n"));
    pane.window()->show();
    EXPECT_FALSE(box(pane, QStringLiteral("StartAtLogin")));
    pane.window()->hide();
    ASSERT_TRUE(pane.click(QStringLiteral("startAtLoginButtonClicked:")));
    QFile rewritten(entry);
    ASSERT_TRUE(rewritten.open(QIODevice::ReadOnly));
    EXPECT_FALSE(rewritten.readAll().contains("Hidden"));
    ASSERT_TRUE(pane.click(QStringLiteral("startAtLoginButtonClicked:")));
    EXPECT_FALSE(QFileInfo::exists(entry));
    EXPECT_TRUE(QFileInfo::exists(other));

    // An entry that is a link: removing it removes the link, not the file it points to.
    const QString kept = m_world.home() + QStringLiteral("/dotfiles-velmora.desktop");
    ASSERT_TRUE(fixtures::WriteText(kept, text));
    ASSERT_TRUE(QFile::link(kept, entry));
    pane.window()->show();
    EXPECT_TRUE(box(pane, QStringLiteral("StartAtLogin")));
    ASSERT_TRUE(pane.click(QStringLiteral("startAtLoginButtonClicked:")));
    EXPECT_FALSE(QFileInfo(entry).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(kept));
    EXPECT_TRUE(fixtures::AlertMessages(m_world).isEmpty());

    // A folder that cannot be made or written (here a file stands in its place; a folder
    // without write permission fails alike for any user but root).
    ASSERT_FALSE(box(pane, QStringLiteral("StartAtLogin")));
    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(fixtures::WriteText(folder, "not a folder"));
    ASSERT_TRUE(pane.click(QStringLiteral("startAtLoginButtonClicked:")));
    EXPECT_FALSE(box(pane, QStringLiteral("StartAtLogin")));
    const auto alerts = m_world.eventsOf<events::Alert>();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].message,
              QStringLiteral("Velmora could not be set to start when you log in."));
    EXPECT_TRUE(alerts[0].detail && alerts[0].detail->contains(folder));
}

} // namespace
