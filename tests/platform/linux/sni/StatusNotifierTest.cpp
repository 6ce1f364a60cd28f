// The status item as a StatusNotifierItem host sees it, on a private session bus: the stand-in
// host drives the real controller's menu (in a world) through Velmora's item and exported menu.
#include "StandInHost.h"
#include "app/AppController.h"
#include "platform/linux/LinuxServices.h"
#include "platform/local/system/PreferenceStore.h"
#include "platform/services/Pasteboard.h"
#include "platform/world/World.h"
#include "prefs/Identifiers.h"
#include "prefs/PreferenceKeys.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/WorldSelection.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <gtest/gtest.h>

namespace {

namespace sni = platform::linuxdesk::sni;

template <typename Condition> bool waitFor(Condition done, int milliseconds = 5000) {
    QDeadlineTimer deadline(milliseconds);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

QString label(const sni::MenuLayoutItem& item) {
    return item.properties.value(QStringLiteral("label")).toString();
}

// The item whose label starts with `text`, anywhere under `item`.
const sni::MenuLayoutItem* find(const sni::MenuLayoutItem& item, const QString& text) {
    if (label(item).startsWith(text))
        return &item;
    for (const sni::MenuLayoutItem& child : item.children)
        if (const auto* found = find(child, text))
            return found;
    return nullptr;
}

class StatusNotifierTest : public ::testing::Test {
protected:
    StatusNotifierTest() : m_installed(services()) {}

    void SetUp() override {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            << "run this test under dbus-run-session";
        for (const char* name : {"alpha.txt", "beta.txt"}) {
            QFile file(m_world.root() + u'/' + QLatin1String(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("text");
        }
    }

    platform::Services services() {
        platform::Services installed = m_world.services();
        installed.statusBar = &m_statusBar;
        return installed;
    }

    // Starts the host and waits for Velmora's item to register with it.
    void startHost() {
        ASSERT_TRUE(m_host.start());
        ASSERT_TRUE(waitFor([&] { return !m_host.registered().isEmpty(); }, 2000));
    }

    platform::world::World m_world;
    platform::linuxdesk::LinuxStatusBar m_statusBar;
    platform::ScopedPlatform m_installed;
    fixtures::StandInHost m_host;
};

// A host that starts after Velmora (a shell restarted, an extension enabled late) gets the item,
// and gets it again when it comes back; a left click is the host's to open the menu with.
TEST_F(StatusNotifierTest, HostsThatComeLateOrComeBackGetTheItem) {
    AppController controller;
    startHost();
    EXPECT_EQ(m_host.registered().size(), 1);
    EXPECT_TRUE(m_host.registered().first().startsWith(u"org.kde.StatusNotifierItem-"));
    EXPECT_EQ(m_host.itemProperty(QStringLiteral("ItemIsMenu")), QVariant(true));
    EXPECT_FALSE(m_host.itemProperty(QStringLiteral("IconPixmap")).isNull());

    m_host.stop();
    ASSERT_TRUE(m_host.start());
    EXPECT_TRUE(waitFor([&] { return m_host.registered().size() == 2; }, 2000));
}

// Two openings on different selections: each shows its own header, the rows that stay keep their
// ids, the host hears of each change once, and an opening that changes nothing says so.
TEST_F(StatusNotifierTest, EachOpeningIsTheMenuOfThatOpeningWithStableIds) {
    AppController controller;
    startHost();
    fixtures::SelectInWorld(m_world, {QStringLiteral("alpha.txt")});
    m_world.clipboard.items = {
        {{{kUTTypePNG, fixtures::PngBytes(QImage(200, 100, QImage::Format_RGB32))}}}};
    EXPECT_TRUE(m_host.aboutToShow(0));
    const auto first = m_host.layout(0);
    ASSERT_TRUE(first);
    const auto* header = find(*first, QStringLiteral("1 Item, First item: alpha.txt"));
    ASSERT_TRUE(header);
    const auto* clipboard = find(*first, QStringLiteral("Clipboard:"));
    const auto* filenames = find(*first, QStringLiteral("Filenames"));
    ASSERT_TRUE(clipboard && filenames);
    EXPECT_EQ(filenames->properties.value(QStringLiteral("children-display")),
              QStringLiteral("submenu"));

    // The clipboard's picture goes at its preview size, with its tool tip in place of a label.
    const sni::MenuLayoutItem* picture = nullptr;
    for (const auto& item : first->children)
        if (item.properties.contains(QStringLiteral("accessible-desc")) && label(item).isEmpty())
            picture = &item;
    ASSERT_TRUE(picture);
    const QImage drawn = QImage::fromData(
        picture->properties.value(QStringLiteral("icon-data")).toByteArray(), "PNG");
    EXPECT_EQ(drawn.width(), 64);

    m_host.layoutUpdates = m_host.propertyUpdates = 0;
    fixtures::SelectInWorld(m_world, {QStringLiteral("beta.txt"), QStringLiteral("alpha.txt")});
    EXPECT_TRUE(m_host.aboutToShow(0));
    EXPECT_TRUE(waitFor([&] { return m_host.propertyUpdates > 0; }));
    EXPECT_LE(m_host.layoutUpdates, 1);
    EXPECT_EQ(m_host.propertyUpdates, 1);
    const auto second = m_host.layout(0);
    ASSERT_TRUE(second);
    const auto* newHeader = find(*second, QStringLiteral("2 Items, First item: beta.txt"));
    ASSERT_TRUE(newHeader);
    EXPECT_EQ(newHeader->id, header->id);
    EXPECT_EQ(find(*second, QStringLiteral("Clipboard:"))->id, clipboard->id);
    EXPECT_EQ(find(*second, QStringLiteral("Filenames"))->id, filenames->id);
    EXPECT_EQ(second->children.size(), first->children.size());

    m_host.layoutUpdates = m_host.propertyUpdates = 0;
    EXPECT_FALSE(m_host.aboutToShow(0));
    QCoreApplication::processEvents();
    EXPECT_EQ(m_host.layoutUpdates + m_host.propertyUpdates, 0);
}

// A submenu is made when the host asks for it; a click runs the command of its id, and only
// while that id still means it: a stale or unknown id, or a host that asks out of order, runs
// nothing and breaks nothing.
TEST_F(StatusNotifierTest, ClicksRunTheCommandOfTheirIdOnly) {
    AppController controller;
    startHost();
    fixtures::SelectInWorld(m_world, {QStringLiteral("alpha.txt")});
    const auto early = m_host.layout(0);
    ASSERT_TRUE(early);
    EXPECT_FALSE(m_host.layout(987654));
    m_host.event(987654);

    ASSERT_TRUE(m_host.aboutToShow(0));
    const auto menu = m_host.layout(0);
    ASSERT_TRUE(menu);
    const auto* filenames = find(*menu, QStringLiteral("Filenames"));
    ASSERT_TRUE(filenames);
    for (int n = 0; n < 3; ++n)
        m_host.aboutToShow(filenames->id);
    const auto submenu = m_host.layout(filenames->id);
    ASSERT_TRUE(submenu);
    const auto* uppercase = find(*submenu, QStringLiteral("Uppercase Name"));
    ASSERT_TRUE(uppercase);

    // The same rows, a new opening: the host's id still means "Uppercase Name".
    m_host.aboutToShow(0);
    m_host.event(uppercase->id);
    EXPECT_TRUE(waitFor([&] {
        return QFile::exists(m_world.root() + QStringLiteral("/ALPHA.TXT"));
    })) << QDir(m_world.root()).entryList().join(u' ').toStdString();

    // Without a selection the submenu is gone: its old ids run nothing.
    m_world.finder.selection.clear();
    m_host.aboutToShow(0);
    m_host.event(uppercase->id);
    m_host.event(filenames->id);
    QCoreApplication::processEvents();
    EXPECT_TRUE(QFile::exists(m_world.root() + QStringLiteral("/ALPHA.TXT")));
    EXPECT_TRUE(QFile::exists(m_world.root() + QStringLiteral("/beta.txt")));
}

// Four hundred recent pictures without thumbnails: the submenu's layout goes at once with their
// names, and the pictures follow as they are made, at least 32 pixels wide.
TEST_F(StatusNotifierTest, RecentPicturesAnswerAtOnceAndPicturesFollow) {
    QImage photo(400, 300, QImage::Format_RGB32);
    photo.fill(Qt::darkGreen);
    QVariantList paths;
    for (int n = 0; n < 400; ++n) {
        const QString path = m_world.root() + QStringLiteral("/photo%1.png").arg(n);
        if (n < 40)
            ASSERT_TRUE(photo.save(path));
        else
            ASSERT_TRUE(QFile::copy(m_world.root() + QStringLiteral("/photo0.png"), path));
        paths.append(path);
    }
    m_world.preferences().setValue(kRecentDesktopPicturePathsKey, paths, kApplicationIdentifier);
    ASSERT_TRUE(m_world.preferences().synchronize(kApplicationIdentifier));

    AppController controller;
    startHost();
    m_host.aboutToShow(0);
    // Row by row, as KDE's host asks: each submenu is made when it is asked for.
    const auto menu = m_host.layout(0, 1);
    ASSERT_TRUE(menu);
    const auto* pictures = find(*menu, QStringLiteral("Desktop Pictures"));
    ASSERT_TRUE(pictures);
    EXPECT_TRUE(pictures->children.isEmpty());
    const auto desktop = m_host.layout(pictures->id, 1);
    ASSERT_TRUE(desktop);
    const auto* recent = find(*desktop, QStringLiteral("Recent Pictures"));
    ASSERT_TRUE(recent);
    m_host.updatedProperties.clear();
    const auto submenu = m_host.layout(recent->id);
    ASSERT_TRUE(submenu);
    int named = 0;
    for (const auto& item : submenu->children)
        named += label(item).startsWith(u"photo");
    EXPECT_EQ(named, 400);
    EXPECT_FALSE(submenu->children.first().properties.contains(QStringLiteral("icon-data")));

    QSet<int> pictured;
    ASSERT_TRUE(waitFor(
        [&] {
            for (const auto& update : std::as_const(m_host.updatedProperties))
                if (update.properties.contains(QStringLiteral("icon-data")))
                    pictured.insert(update.id);
            return pictured.size() == 400;
        },
        60000))
        << pictured.size();
    const QImage first = QImage::fromData(m_host.updatedProperties.first()
                                              .properties.value(QStringLiteral("icon-data"))
                                              .toByteArray(),
                                          "PNG");
    EXPECT_GE(first.width(), 32);
}

// A host that ignores ItemIsMenu sends Activate with the place of its icon: the menu opens there,
// not where the pointer was last seen. A middle click is the other activation: the preferences.
TEST_F(StatusNotifierTest, ActivateOpensAtTheHostsPlaceAndMiddleClickIsTheOther) {
    AppController controller;
    startHost();
    QMenu* menu = controller.menu();
    ASSERT_TRUE(menu);
    QCursor::setPos(700, 500);
    m_host.call(QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.kde.StatusNotifierItem"),
                QStringLiteral("Activate"), {300, 200});
    EXPECT_TRUE(waitFor([&] { return menu->isVisible(); }));
    EXPECT_EQ(menu->pos().x(), 300);
    menu->hide();

    const auto shownWindows = [menu] {
        int shown = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            shown += widget != menu && widget->isVisible() && widget->isWindow() &&
                     !qobject_cast<QMenu*>(widget);
        return shown;
    };
    EXPECT_EQ(shownWindows(), 0);
    m_host.call(QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.kde.StatusNotifierItem"),
                QStringLiteral("SecondaryActivate"), {300, 200});
    EXPECT_TRUE(waitFor([&] { return shownWindows() == 1; }));
}

} // namespace
