#include "app/AppController.h"
#include "common/MenuItems.h"
#include "platform/local/system/PreferenceStore.h"
#include "platform/services/Pasteboard.h"
#include "platform/world/World.h"
#include "prefs/Identifiers.h"
#include "tests/support/MediaFixtures.h"

#include <QAction>
#include <QFile>
#include <QMap>
#include <QMenu>
#include <QSet>
#include <functional>
#include <gtest/gtest.h>

namespace {

using platform::world::SelectionElement;

// One context and the command items it must produce.
struct Case {
    const char* name;
    QStringList selection =
        {}; // file names; ".png" is a picture, ".mov" a movie, ".webloc" a location
    bool clipboardText = false;
    bool clipboardImage = false;
    const char* frontApp = nullptr;
    const char* mailSenders = nullptr;
    QVariantList recent = {};
    std::optional<QVariant> lastPicture = std::nullopt;
    QStringList commands;         // main-menu items after the header items, before "Quit"
    QStringList pictureMenu = {}; // the "Desktop Pictures" submenu
};

class CommandCatalogueTest : public ::testing::TestWithParam<Case> {
protected:
    CommandCatalogueTest() : m_installed(m_world.services()) {}

    void setUp(const Case& c) {
        for (const QString& name : c.selection) {
            const QString path = m_world.root() + u'/' + name;
            if (name.endsWith(QLatin1String(".png")))
                ASSERT_TRUE(fixtures::WritePng(path, 8, 8));
            else if (name.endsWith(QLatin1String(".mov")))
                ASSERT_TRUE(fixtures::WriteMovie(path));
            else
                ASSERT_TRUE(fixtures::WriteText(path, QByteArray("text")));
            m_world.finder.selection.push_back(
                {QFile::encodeName(path), SelectionElement::Form::Object});
        }
        if (c.clipboardText)
            m_world.clipboard.items.push_back({{{kUTTypeUTF8PlainText, QByteArray("words")}}});
        if (c.clipboardImage) {
            const QString png = m_world.temp() + QStringLiteral("/clip.png");
            ASSERT_TRUE(fixtures::WritePng(png, 4, 4));
            QFile file(png);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            m_world.clipboard.items.push_back({{{kUTTypePNG, file.readAll()}}});
        }
        if (c.frontApp)
            m_world.frontApp =
                platform::world::FrontApplication{QString::fromUtf8(c.frontApp), {}, {}};
        if (c.mailSenders) {
            m_world.applications[QStringLiteral("Mail")].installed = true;
            m_world.mail.senders = QString::fromUtf8(c.mailSenders);
        }
        platform::PreferenceStore& store = m_world.preferences();
        if (!c.recent.isEmpty())
            store.setValue(QStringLiteral("RecentDesktopPicturePaths"), QVariant(c.recent),
                           kApplicationIdentifier);
        if (c.lastPicture)
            store.setValue(QStringLiteral("LastDesktopPicturePath"), *c.lastPicture,
                           kApplicationIdentifier);
        ASSERT_TRUE(store.synchronize(kApplicationIdentifier));
    }

    static QStringList titlesOf(const QMenu& menu) {
        QStringList titles;
        for (const QAction* item : menu.actions()) {
            if (!item->isSeparator())
                titles.append(ItemTitle(item));
        }
        return titles;
    }

    platform::world::World m_world;
    platform::ScopedPlatform m_installed;
};

TEST_P(CommandCatalogueTest, OffersTheCommandsThatFit) {
    const Case& c = GetParam();
    setUp(c);
    AppController controller;
    QStringList titles = titlesOf(*controller.menu());
    const QMenu* pictures = nullptr;
    for (const QAction* item : controller.menu()->actions()) {
        if (ItemTitle(item) == QLatin1String("Desktop Pictures"))
            pictures = QMenu::menuInAction(item);
    }
    // The commands end the menu before "Quit", which is always last, and the header items
    // stand right before them.
    ASSERT_EQ(titles.last(), QStringLiteral("Quit"));
    const qsizetype start = titles.size() - 1 - c.commands.size();
    ASSERT_GE(start, 1);
    EXPECT_EQ(titles.mid(start, c.commands.size()), c.commands);
    const QString before = titles[start - 1];
    EXPECT_TRUE(before == QLatin1String("Clipboard:") ||
                before.startsWith(QLatin1String("Front App: ")) ||
                before == QLatin1String("words") || before.isEmpty())
        << before.toStdString();
    ASSERT_TRUE(pictures);
    EXPECT_EQ(titlesOf(*pictures), c.pictureMenu);
}

const QStringList kSelectionCommands = {"Remove Custom Icons", "Make Images From Icons",
                                        "Filenames", "Email Items", "Combine Files Into PDF"};
const QStringList kAlwaysAtTheEnd = {"Desktop Pictures", "Copy and Paste Title"};

QStringList joined(std::initializer_list<QStringList> parts) {
    QStringList all;
    for (const QStringList& part : parts)
        all += part;
    return all;
}

INSTANTIATE_TEST_SUITE_P(
    Contexts, CommandCatalogueTest,
    ::testing::Values(Case{.name = "Nothing",
                           .commands = kAlwaysAtTheEnd,
                           .pictureMenu = {"Reveal Desktop Picture"}},
                      Case{
                          .name = "ImageSelectedAndImageCopied",
                          .selection = {"a.png"},
                          .clipboardImage = true,
                          .commands = joined({{"Copy Image Or Movie Poster",
                                               "Set Icons From Clipboard", "Add Clipboard To Icon"},
                                              kSelectionCommands,
                                              kAlwaysAtTheEnd}),
                          .pictureMenu = {"Reveal Desktop Picture", "Set Desktop Picture"}},
                      Case{.name = "MovieAndLocationSelected",
                           .selection = {"notes.txt", "m.mov", "site.webloc"},
                           .commands = joined({{"Copy Image Or Movie Poster", "Get Movie Info",
                                                "Set Icons From Web Location"},
                                               kSelectionCommands,
                                               kAlwaysAtTheEnd}),
                           .pictureMenu = {"Reveal Desktop Picture"}},
                      Case{.name = "ImageCopiedButNothingSelected",
                           .clipboardImage = true,
                           .commands = kAlwaysAtTheEnd,
                           .pictureMenu = {"Reveal Desktop Picture"}},
                      Case{.name = "TextCopied",
                           .clipboardText = true,
                           .commands = joined({{"List Completions"}, kAlwaysAtTheEnd}),
                           .pictureMenu = {"Reveal Desktop Picture"}},
                      Case{.name = "MailInFrontWithSenders",
                           .frontApp = "Mail",
                           .mailSenders = "bob@example.org",
                           .commands = joined({{"Add Senders to Address Book"}, kAlwaysAtTheEnd}),
                           .pictureMenu = {"Reveal Desktop Picture"}},
                      Case{.name = "MailInFrontWithoutSelectedMessages",
                           .frontApp = "Mail",
                           .commands = kAlwaysAtTheEnd,
                           .pictureMenu = {"Reveal Desktop Picture"}},
                      Case{.name = "MailerIsNotMail",
                           .frontApp = "Mailer",
                           .mailSenders = "bob@example.org",
                           .commands = kAlwaysAtTheEnd,
                           .pictureMenu = {"Reveal Desktop Picture"}},
                      Case{.name = "RecentListAndALastPictureOfAnyType",
                           .recent = {"/nowhere/a.png", 5},
                           .lastPicture = QVariant(QVariantList{}),
                           .commands = kAlwaysAtTheEnd,
                           .pictureMenu = {"Reveal Desktop Picture", "Reset Desktop Picture",
                                           "Clear Recent Desktop Pictures", "Recent Pictures"}},
                      Case{.name = "RecentListThatIsNoList",
                           .lastPicture = QVariant(QStringLiteral("/nowhere/a.png")),
                           .commands = kAlwaysAtTheEnd,
                           .pictureMenu = {"Reveal Desktop Picture", "Reset Desktop Picture"}}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Every item of every row and every filled submenu, with every condition true, names an action
// the controller has: a misspelt name would give an item that does nothing when chosen. Rows
// share an action only where its handler tells them apart by their titles or tool tips.
TEST_F(CommandCatalogueTest, EveryItemRunsAnActionOfItsOwn) {
    setUp(Case{.name = "Everything",
               .selection = {"a.png", "m.mov", "site.webloc", "notes.txt"},
               .clipboardText = true,
               .clipboardImage = true,
               .frontApp = "Mail",
               .mailSenders = "Ann Lee <ann@example.org>",
               .recent = {m_world.root() + QStringLiteral("/a.png")},
               .lastPicture = QVariant(m_world.root() + QStringLiteral("/a.png")),
               .commands = {}});
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
