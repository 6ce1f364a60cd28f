// Which commands each context offers is checked, menu by menu, by the scenarios' golden files;
// here, that every item names an action that exists.
#include "app/AppController.h"
#include "common/MenuItems.h"
#include "platform/local/system/PreferenceStore.h"
#include "platform/services/Pasteboard.h"
#include "platform/world/World.h"
#include "prefs/Identifiers.h"
#include "prefs/PreferenceKeys.h"
#include "tests/support/MediaFixtures.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QMenu>
#include <QSet>
#include <functional>
#include <gtest/gtest.h>

namespace {

class CommandCatalogueTest : public ::testing::Test {
protected:
    CommandCatalogueTest() : m_installed(m_world.services()) {}

    platform::world::World m_world;
    platform::ScopedPlatform m_installed;
};

// Every item of every row and every filled submenu, with every condition true, names an action
// the controller has: a misspelt name would give an item that does nothing when chosen. Rows
// share an action only where its handler tells them apart by their titles or tool tips.
TEST_F(CommandCatalogueTest, EveryItemRunsAnActionOfItsOwn) {
    const QString picture = m_world.root() + QStringLiteral("/a.png");
    ASSERT_TRUE(fixtures::WritePng(picture, 8, 8));
    ASSERT_TRUE(fixtures::WriteMovie(m_world.root() + QStringLiteral("/m.mov")));
    for (const char* name : {"site.webloc", "notes.txt"})
        ASSERT_TRUE(fixtures::WriteText(m_world.root() + u'/' + QLatin1String(name), "text"));
    for (const char* name : {"a.png", "m.mov", "site.webloc", "notes.txt"})
        m_world.finder.selection.push_back(
            {QFile::encodeName(m_world.root() + u'/' + QLatin1String(name)),
             platform::world::SelectionElement::Form::Object});
    QImage copied(4, 4, QImage::Format_RGB32);
    copied.fill(Qt::red);
    m_world.clipboard.items = {{{{kUTTypeUTF8PlainText, QByteArray("words")}}},
                               {{{kUTTypePNG, fixtures::PngBytes(copied)}}}};
    m_world.frontApp = platform::world::FrontApplication{QStringLiteral("Mail"), {}, {}};
    m_world.applications[QStringLiteral("Mail")].installed = true;
    m_world.mail.senders = QStringLiteral("Ann Lee <ann@example.org>");
    platform::PreferenceStore& store = m_world.preferences();
    store.setValue(kRecentDesktopPicturePathsKey, QVariant(QVariantList{picture}),
                   kApplicationIdentifier);
    store.setValue(kLastDesktopPicturePathKey, QVariant(picture), kApplicationIdentifier);
    ASSERT_TRUE(store.synchronize(kApplicationIdentifier));
    for (const char* browser : {"Safari", "Firefox", "Google Chrome", "Opera"}) {
        m_world.applications[QString::fromLatin1(browser)].installed = true;
        m_world.applications[QString::fromLatin1(browser)].running = true;
    }
    AppController controller;

    const QSet<QString> sharedOnPurpose{QStringLiteral("selFilenamesItem:"),
                                        QStringLiteral("selRecentDesktopPicture:"),
                                        QStringLiteral("selBrowserItem:")};
    QMap<QString, QStringList> titlesByAction;
    int items = 0;
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        FillSubmenuNow(menu);
        for (QAction* item : menu->actions()) {
            if (QMenu* submenu = QMenu::menuInAction(item)) {
                walk(submenu);
                continue;
            }
            const auto action = ItemActionName(item);
            if (!action)
                continue;
            ++items;
            EXPECT_NE(AppController::actionNamed(*action), nullptr)
                << ItemTitle(item).toStdString() << " names " << action->toStdString()
                << ", which no action answers to";
            EXPECT_TRUE(item->isEnabled()) << ItemTitle(item).toStdString();
            titlesByAction[*action].append(ItemTitle(item));
        }
    };
    walk(controller.menu());

    EXPECT_GT(items, 25) << "not every condition held";
    for (auto it = titlesByAction.cbegin(); it != titlesByAction.cend(); ++it) {
        EXPECT_TRUE(sharedOnPurpose.contains(it.key()) || it.value().size() == 1)
            << it.key().toStdString() << " is run by "
            << it.value().join(QStringLiteral(", ")).toStdString();
    }
    for (const QString& shared : sharedOnPurpose)
        EXPECT_TRUE(titlesByAction.contains(shared)) << shared.toStdString();
}

} // namespace
