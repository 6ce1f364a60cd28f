#include "app/AppController.h"
#include "app/ContextFlags.h"
#include "app/MenuItems.h"
#include "platform/Files.h"
#include "platform/world/MenuRecord.h"
#include "platform/world/World.h"
#include "platform/world/WorldServices.h"
#include "tests/support/MediaFixtures.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QMenu>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
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
    void select(std::initializer_list<std::pair<QString, Form>> items) {
        m_world.finder.selection.clear();
        for (const auto& [name, form] : items)
            m_world.finder.selection.push_back({QFile::encodeName(path(name)), form});
    }
    void select(std::initializer_list<QString> names) {
        m_world.finder.selection.clear();
        for (const QString& name : names)
            m_world.finder.selection.push_back({QFile::encodeName(path(name)), Form::Object});
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

TEST_F(AppControllerTest, EmptyContextGivesTheBareMenu) {
    AppController controller;
    EXPECT_EQ(titles(controller), QStringList({QStringLiteral("The Finder has no active selection"),
                                               QStringLiteral("---"), QStringLiteral("Clipboard:"),
                                               QStringLiteral("Quit")}));
    const QList<QAction*> items = controller.menu()->actions();
    EXPECT_FALSE(items.first()->isEnabled());
    EXPECT_FALSE(items.at(2)->isEnabled());
    EXPECT_TRUE(items.last()->isEnabled());
    EXPECT_FALSE(ItemToolTip(items.last()));

    items.last()->trigger();
    ASSERT_EQ(m_world.events().size(), 1);
    EXPECT_TRUE(m_world.events().at(0).toObject().value(QStringLiteral("quit")).toBool());
}

TEST_F(AppControllerTest, HeaderNamesTheCountAndTheFirstItem) {
    file(QStringLiteral("a.txt"));
    file(QStringLiteral("Tom & Jerry.pdf"));
    select({QStringLiteral("a.txt")});
    AppController controller;
    EXPECT_EQ(header(controller), QStringLiteral("1 Item, First item: a.txt"));

    FSRef ref;
    ASSERT_EQ(FSPathMakeRef(QFile::encodeName(path(QStringLiteral("Tom & Jerry.pdf"))), &ref),
              noErr);
    ASSERT_EQ(LSSetExtensionHiddenForRef(&ref, true), noErr);
    select({QStringLiteral("Tom & Jerry.pdf"), QStringLiteral("a.txt")});
    controller.setup();
    QAction* item = controller.menu()->actions().first();
    EXPECT_EQ(ItemTitle(item), QStringLiteral("2 Items, First item: Tom & Jerry"));
    // Qt would take a lone "&" for a mnemonic and drop it from what is drawn.
    EXPECT_EQ(item->text(), QStringLiteral("2 Items, First item: Tom && Jerry"));
    EXPECT_EQ(ItemToolTip(item), QStringLiteral("Select this item to open the file."));
    EXPECT_TRUE(item->isEnabled());

    item->trigger();
    ASSERT_EQ(m_world.events().size(), 1);
    EXPECT_EQ(m_world.events().at(0).toObject().value(QStringLiteral("open")).toString(),
              QStringLiteral("$ROOT/Tom & Jerry.pdf"));
}

TEST_F(AppControllerTest, UnresolvableFirstItemStillCountsAsASelection) {
    file(QStringLiteral("b.txt"));
    select({{QStringLiteral("gone.txt"), Form::Broken}, {QStringLiteral("b.txt"), Form::Object}});
    AppController controller;
    EXPECT_TRUE(controller.addFinderSelectionMenuItem());
    EXPECT_EQ(header(controller), QStringLiteral("The Finder has no active selection"));
    EXPECT_EQ(controller.getFinderSelection(), QStringList({path(QStringLiteral("b.txt"))}));

    m_world.finder.running = false;
    EXPECT_FALSE(controller.addFinderSelectionMenuItem());
    EXPECT_TRUE(controller.getFinderSelection().isEmpty());
}

TEST_F(AppControllerTest, EveryElementFormResolvesAndNothingStaleSurvives) {
    file(QStringLiteral("obj.txt"));
    file(QStringLiteral("ref.txt"));
    file(QStringLiteral("url #1.txt"));
    select({{QStringLiteral("obj.txt"), Form::Object},
            {QStringLiteral("ref.txt"), Form::File},
            {QStringLiteral("url #1.txt"), Form::Other},
            {QStringLiteral("never.txt"), Form::File}});
    AppController controller;
    EXPECT_EQ(controller.getFinderSelection(),
              QStringList({path(QStringLiteral("obj.txt")), path(QStringLiteral("ref.txt")),
                           path(QStringLiteral("url #1.txt"))}));

    // The first item vanishes between the selection and the next opening of the menu.
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("obj.txt"))));
    controller.setup();
    EXPECT_EQ(header(controller), QStringLiteral("The Finder has no active selection"));
    EXPECT_EQ(controller.getFinderSelection().size(), 2);
}

TEST_F(AppControllerTest, NameThatIsNotUtf8IsSkippedNotGuessed) {
    const QByteArray bad = QFile::encodeName(m_world.root()) + "/bad\xff.txt";
    const int fd = open(bad.constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    close(fd);
    file(QStringLiteral("good.txt"));
    m_world.finder.selection = {
        {bad, Form::Object}, {QFile::encodeName(path(QStringLiteral("good.txt"))), Form::Object}};
    AppController controller;
    EXPECT_EQ(header(controller), QStringLiteral("The Finder has no active selection"));
    EXPECT_EQ(controller.getFinderSelection(), QStringList({path(QStringLiteral("good.txt"))}));
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

TEST_F(AppControllerTest, NothingMoreIsOpenedOnceEveryFlagIsSet) {
    ASSERT_TRUE(fixtures::WriteMovie(path(QStringLiteral("clip.mov"))));
    // A picture named like a web location sets two flags at once.
    ASSERT_TRUE(fixtures::WritePng(path(QStringLiteral("site.webloc")), 4, 4));
    file(QStringLiteral("later.txt"));
    file(QStringLiteral("unprobed.txt"));
    select(
        {QStringLiteral("clip.mov"), QStringLiteral("site.webloc"), QStringLiteral("later.txt")});
    AppController controller;

    // Whether a file was opened at all tells whether it was probed.
    auto opened = [&](const QString& name) {
        const int watcher = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        EXPECT_GE(watcher, 0);
        EXPECT_GE(inotify_add_watch(watcher, QFile::encodeName(path(name)).constData(), IN_OPEN),
                  0);
        controller.checkSelectionForImagesAndMoviesAndWeblocs();
        char events[4096];
        const ssize_t size = read(watcher, events, sizeof events);
        close(watcher);
        return size > 0;
    };
    EXPECT_FALSE(opened(QStringLiteral("later.txt")));
    EXPECT_TRUE(gFinderSelectionHasMovie && gFinderSelectionHasImage && gFinderSelectionHasWebloc);

    select({QStringLiteral("clip.mov"), QStringLiteral("unprobed.txt")});
    EXPECT_TRUE(opened(QStringLiteral("unprobed.txt")));
}

TEST_F(AppControllerTest, OpeningTwiceGivesTheSameMenuAndNoLeftovers) {
    file(QStringLiteral("a.txt"));
    file(QStringLiteral("b.txt"));
    select({QStringLiteral("a.txt"), QStringLiteral("b.txt")});
    AppController controller;
    auto* statusItem = m_world.statusItem();
    ASSERT_NE(statusItem, nullptr);
    EXPECT_EQ(statusItem->imageName(), QStringLiteral("Velmora.tif"));
    statusItem->open();
    const QJsonArray first = platform::world::DescribeMenu(*controller.menu(), m_world);
    const int children = int(controller.menu()->findChildren<QAction*>().size());
    statusItem->open();
    EXPECT_EQ(platform::world::DescribeMenu(*controller.menu(), m_world), first);
    EXPECT_EQ(int(controller.menu()->findChildren<QAction*>().size()), children);
    EXPECT_EQ(controller.menu()->actions().size(), 4);
}

} // namespace
