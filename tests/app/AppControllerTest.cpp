#include "app/AppController.h"
#include "app/ContextFlags.h"
#include "common/MenuItems.h"
#include "platform/local/contacts/AddressBook.h"
#include "platform/local/files/FileLock.h"
#include "platform/local/files/Files.h"
#include "platform/services/PreferenceCalls.h"
#include "platform/world/World.h"
#include "platform/world/WorldServices.h"
#include "prefs/Identifiers.h"
#include "prefs/PreferenceKeys.h"
#include "tests/support/MediaFixtures.h"
#include "tools/scenario/MenuRecord.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonObject>
#include <QMenu>
#include <QTimer>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using platform::world::SelectionElement;
using Form = SelectionElement::Form;

class AppControllerTest : public ::testing::Test {
protected:
    AppControllerTest() : m_installed(m_world.services()) {}

    QString path(const QString& name) const { return m_world.root() + u'/' + name; }
    void file(const QString& name, const QByteArray& text = "text") {
        ASSERT_TRUE(fixtures::WriteText(path(name), text));
    }
    void select(const QStringList& names, Form form = Form::Object) {
        m_world.finder.selection.clear();
        for (const QString& name : names)
            m_world.finder.selection.push_back({QFile::encodeName(path(name)), form});
    }
    QStringList titles(AppController& controller) const {
        QStringList result;
        for (QAction* item : controller.menu()->actions())
            result.append(item->isSeparator() ? QStringLiteral("---") : ItemTitle(item));
        return result;
    }
    QString header(AppController& controller) const {
        return ItemTitle(controller.menu()->actions().first());
    }

    platform::world::World m_world;
    platform::ScopedPlatform m_installed;
};

// The header's forms and tool tip are in the scenarios' golden files; what they cannot show is the
// text Qt is given and the file opened when the name holds an "&".
TEST_F(AppControllerTest, AnAmpersandInTheFirstItemIsShownAndOpened) {
    file(QStringLiteral("a.txt"));
    file(QStringLiteral("Tom & Jerry.pdf"));
    select({QStringLiteral("Tom & Jerry.pdf"), QStringLiteral("a.txt")});
    AppController controller;
    QAction* item = controller.menu()->actions().first();
    EXPECT_EQ(ItemTitle(item), QStringLiteral("2 Items, First item: Tom & Jerry.pdf"));
    // Qt would take a lone "&" for a mnemonic and drop it from what is drawn.
    EXPECT_EQ(item->text(), QStringLiteral("2 Items, First item: Tom && Jerry.pdf"));

    item->trigger();
    ASSERT_EQ(m_world.events().size(), 1);
    const auto opened = m_world.eventsOf<platform::world::events::Open>();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].path, m_world.root() + QStringLiteral("/Tom & Jerry.pdf"));
}

// Each element form resolving is in the scenarios' golden files.
TEST_F(AppControllerTest, NothingUnreadableOrStaleSurvives) {
    file(QStringLiteral("a.txt"));
    file(QStringLiteral("b.txt"));
    select({QStringLiteral("a.txt"), QStringLiteral("b.txt")});
    // A name that is not UTF-8 cannot be written back exactly: it is skipped, never guessed.
    const QByteArray bad = QFile::encodeName(m_world.root()) + "/bad\xff.txt";
    ASSERT_TRUE(fixtures::WriteText(bad, ""));
    m_world.finder.selection.push_back({bad, Form::Object});
    AppController controller;
    EXPECT_EQ(controller.getFinderSelection(),
              QStringList({path(QStringLiteral("a.txt")), path(QStringLiteral("b.txt"))}));

    // The first item vanishes between the selection and the next opening of the menu.
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("a.txt"))));
    controller.setup();
    EXPECT_EQ(header(controller), QStringLiteral("The Finder has no active selection"));
    EXPECT_EQ(controller.getFinderSelection().size(), 1);
    // Qt cannot name the file to remove it with the temporary folder.
    ::unlink(bad.constData());
}

TEST_F(AppControllerTest, FlagsFollowTheSelectionAtEveryRebuild) {
    file(QStringLiteral("notes.txt"));
    ASSERT_TRUE(fixtures::WriteMovie(path(QStringLiteral("clip.mov"))));
    ASSERT_TRUE(fixtures::WritePng(path(QStringLiteral("p.png")), 10, 10));
    file(QStringLiteral("site.webloc"));
    select({QStringLiteral("notes.txt"), QStringLiteral("clip.mov"), QStringLiteral("p.png"),
            QStringLiteral("site.webloc")});
    AppController controller;
    controller.applicationWillFinishLaunching();
    controller.setup();
    EXPECT_TRUE(gFinderSelectionHasMovie);
    EXPECT_TRUE(gFinderSelectionHasImage);
    EXPECT_TRUE(gFinderSelectionHasWebloc);

    select({QStringLiteral("notes.txt"), QStringLiteral("p.png")});
    controller.setup();
    EXPECT_FALSE(gFinderSelectionHasMovie);
    EXPECT_TRUE(gFinderSelectionHasImage);
    EXPECT_FALSE(gFinderSelectionHasWebloc);

    m_world.finder.selection.clear();
    controller.setup();
    EXPECT_FALSE(gFinderSelectionHasImage);
    controller.applicationWillTerminate();
}

TEST_F(AppControllerTest, OpeningTwiceGivesTheSameMenuAndNoLeftovers) {
    file(QStringLiteral("a.txt"));
    file(QStringLiteral("b.txt"));
    select({QStringLiteral("a.txt"), QStringLiteral("b.txt")});
    AppController controller;
    auto* statusItem = m_world.statusItem();
    ASSERT_NE(statusItem, nullptr);
    statusItem->open();
    const QJsonArray first = scenario::DescribeMenu(*controller.menu(), m_world);
    const int children = int(controller.menu()->findChildren<QAction*>().size());
    statusItem->open();
    EXPECT_EQ(scenario::DescribeMenu(*controller.menu(), m_world), first);
    EXPECT_EQ(int(controller.menu()->findChildren<QAction*>().size()), children);
}

// The clipboard's picture is made once per contents, and follows new contents whoever puts them
// there: here the same owner replaces a red picture with a blue one, then with text.
TEST_F(AppControllerTest, TheClipboardPreviewFollowsEveryNewContents) {
    auto png = [](Qt::GlobalColor color) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(color);
        return fixtures::PngBytes(image);
    };
    auto previewColor = [](AppController& controller) -> std::optional<QColor> {
        for (QAction* item : controller.menu()->actions()) {
            if (item->toolTip().contains(QLatin1String("clipboard image")))
                return item->icon().pixmap(16, 16).toImage().pixelColor(8, 8);
        }
        return std::nullopt;
    };
    AppController controller;
    m_world.clipboard.items = {{{{kUTTypePNG, png(Qt::red)}}}};
    controller.setup();
    EXPECT_EQ(previewColor(controller), QColor(Qt::red));
    controller.setup();
    EXPECT_EQ(previewColor(controller), QColor(Qt::red));
    m_world.clipboard.items = {{{{kUTTypePNG, png(Qt::blue)}}}};
    controller.setup();
    EXPECT_EQ(previewColor(controller), QColor(Qt::blue));
    m_world.clipboard.items = {{{{kUTTypeUTF8PlainText, QByteArray("words")}}}};
    controller.setup();
    EXPECT_EQ(previewColor(controller), std::nullopt);
}

// While a command's work runs off the menu's thread, the menu still opens, says what is at work,
// and starts no second command; the first one ends as it would have.
TEST_F(AppControllerTest, TheMenuOpensWhileACommandWorksAndStartsNoOther) {
    const QString book = path(QStringLiteral("Cards"));
    ASSERT_TRUE(QDir().mkpath(book));
    CFPreferencesSetAppValue(kAddressBookFolderKey, QVariant(book), kApplicationIdentifier);
    ASSERT_TRUE(CFPreferencesAppSynchronize(kApplicationIdentifier));
    m_world.frontApp = platform::world::FrontApplication{QStringLiteral("Mail"), {}, {}};
    m_world.mail.senders = QStringLiteral("Ann Lee <ann@example.org>");
    // The book's lock held for a moment, as another program would: the command's work waits.
    auto held =
        std::make_optional(*platform::FileLock::acquire(book + QStringLiteral("/.velmora.lock")));
    AppController controller;
    QAction* addSenders = nullptr;
    for (QAction* item : controller.menu()->actions()) {
        if (ItemTitle(item) == QStringLiteral("Add Senders to Address Book"))
            addSenders = item;
    }
    ASSERT_TRUE(addSenders);

    QStringList menuAtWork;
    QTimer::singleShot(200, [&] {
        // Chosen again meanwhile: refused with a beep.
        addSenders->trigger();
        controller.setup();
        menuAtWork = titles(controller);
        held.reset();
    });
    addSenders->trigger();

    EXPECT_EQ(
        menuAtWork,
        (QStringList{QStringLiteral("Working on \u201cAdd Senders to Address Book\u201d\u2026"),
                     QStringLiteral("Adding senders to the address book"), QStringLiteral("---"),
                     QStringLiteral("Quit")}));
    EXPECT_TRUE(m_world.eventsOf<platform::world::events::Alert>().empty());
    EXPECT_EQ(m_world.eventsOf<platform::world::events::Beep>().size(), 1u);
    // Mail asked once by the menu that offered the item, once by the command, never again.
    EXPECT_EQ(m_world.eventsOf<platform::world::events::Script>().size(), 2u);
    const addressbook::AddressBook cards(book);
    EXPECT_EQ(cards.people().size(), 1u);
    EXPECT_EQ(cards.groups().size(), 1u);
    controller.setup();
    EXPECT_EQ(header(controller), QStringLiteral("The Finder has no active selection"));
}

} // namespace
