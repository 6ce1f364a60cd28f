#include "commands/desktop/DesktopPicture.h"
#include "commands/desktop/DesktopCommands.h"
#include "common/CommandRows.h"
#include "common/MenuItems.h"
#include "common/ScriptText.h"

#include "platform/local/system/PreferenceStore.h"
#include "platform/world/World.h"
#include "prefs/Identifiers.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/QtPrinters.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace events = platform::world::events;

class DesktopPictureTest : public ::testing::Test {
protected:
    DesktopPictureTest() : m_installed(m_world.services()) {}

    QString picture(const QString& name) {
        const QString path = m_world.root() + u'/' + name;
        EXPECT_TRUE(fixtures::WritePng(path, 4, 4));
        return path;
    }
    std::optional<QVariant> stored(const QString& key) {
        m_world.preferences().synchronize(kApplicationIdentifier);
        return m_world.preferences().copyValue(key, kApplicationIdentifier);
    }
    void store(const QString& key, const QVariant& value) {
        m_world.preferences().setValue(key, value, kApplicationIdentifier);
        ASSERT_TRUE(m_world.preferences().synchronize(kApplicationIdentifier));
    }
    template <typename Kind> int count() const { return int(m_world.eventsOf<Kind>().size()); }

    platform::world::World m_world;
    platform::ScopedPlatform m_installed;
};

TEST(DesktopPictureScripts, TheFinderNamesExactlyTheFileWhateverItsName) {
    for (const QString& path :
         {QStringLiteral("/p/a.png"), QStringLiteral("/p/say \"cheese\".png"),
          QStringLiteral("/p/back\\slash %@.png"), QStringLiteral("/p/\"\r\nend tell\r\".png")}) {
        const QString script = DesktopPictureSettingScript(path);
        const qsizetype open = script.indexOf(QLatin1String("POSIX file ")) + 11;
        EXPECT_EQ(TextOfDisplayedString(script.mid(open)), path) << path.toStdString();
    }
    EXPECT_EQ(TextOfDisplayedString(QStringLiteral("no quotes")), std::nullopt);
    EXPECT_EQ(TextOfDisplayedString(QStringLiteral("\"unterminated")), std::nullopt);
}

TEST_F(DesktopPictureTest, StoredValuesOfTheWrongTypeLoseNothing) {
    store(QStringLiteral("RecentDesktopPicturePaths"), QVariant(QVariantList{7, "/p/y.png"}));
    AddPathToRecentPicturePaths(QStringLiteral("/p/z.png"));
    EXPECT_EQ(GetRecentPicturePaths(), QVariantList({7, "/p/y.png", "/p/z.png"}));

    // A last picture that is no path is passed over without a word.
    store(QStringLiteral("LastDesktopPicturePath"), QVariant(3));
    DoResetDesktopPicture();
    EXPECT_EQ(count<events::Alert>() + count<events::Script>(), 0);
}

// No current picture: nothing is saved as the last one, nothing revealed; a file the Finder
// refuses still joins the recent list.
TEST_F(DesktopPictureTest, WithoutACurrentPictureNothingIsSavedAsTheLast) {
    SetDesktopPictureToPath(m_world.root() + QStringLiteral("/gone.png"));
    EXPECT_EQ(stored(QStringLiteral("LastDesktopPicturePath")), std::nullopt);
    EXPECT_EQ(GetRecentPicturePaths().size(), 1);
    EXPECT_EQ(m_world.finder.desktopPicture, std::nullopt);
    DoRevealDesktopPictureFile();
    EXPECT_EQ(count<events::Reveal>(), 0);
}

// A stored path may name anything by now. A FIFO or a device would block the reading of its
// picture for ever, and the test by its time limit; each gets its item without a picture.
TEST_F(DesktopPictureTest, RecentPicturesOfSpecialFilesAreItemsWithoutPictures) {
    const QString fifo = m_world.root() + QStringLiteral("/waiting.png");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString photo = picture("photo.png");
    store(QStringLiteral("RecentDesktopPicturePaths"),
          QVariantList{fifo, QStringLiteral("/dev/zero"),
                       m_world.root() + QStringLiteral("/gone.png"), photo});
    QMenu menu;
    AppendRows(&menu, DesktopPicturesRows(), MenuContext());
    QMenu* pictures = QMenu::menuInAction(menu.actions().first());
    ASSERT_NE(pictures, nullptr);
    QMenu* recent = QMenu::menuInAction(pictures->actions().last());
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(recent->actions().isEmpty()); // made when the user opens it
    FillSubmenuNow(recent);
    QStringList shown;
    for (const QAction* item : recent->actions())
        shown.append(ItemTitle(item) + (item->icon().isNull() ? QString() : QStringLiteral(" *")));
    EXPECT_EQ(shown, QStringList({"waiting.png", "zero", "gone.png", "photo.png *"}));
}

// A recent picture drawn at one opening is drawn again from memory at the next, unless its file
// changed: then the new picture shows.
TEST_F(DesktopPictureTest, ARecentPictureFollowsItsFile) {
    const QString photo = m_world.root() + QStringLiteral("/photo.png");
    auto save = [&](Qt::GlobalColor color) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(color);
        ASSERT_TRUE(image.save(photo, "png"));
    };
    auto shownColor = [&]() -> QColor {
        QMenu menu;
        AppendRows(&menu, DesktopPicturesRows(), MenuContext());
        QMenu* recent =
            QMenu::menuInAction(QMenu::menuInAction(menu.actions().first())->actions().last());
        FillSubmenuNow(recent);
        return recent->actions().first()->icon().pixmap(64, 64).toImage().pixelColor(20, 15);
    };
    save(Qt::red);
    store(QStringLiteral("RecentDesktopPicturePaths"), QVariantList{photo});
    EXPECT_EQ(shownColor(), QColor(Qt::red));
    EXPECT_EQ(shownColor(), QColor(Qt::red));
    // The desktop's thumbnails know a file's time to the second only.
    save(Qt::blue);
    QFile changed(photo);
    ASSERT_TRUE(changed.open(QIODevice::ReadWrite));
    ASSERT_TRUE(changed.setFileTime(QDateTime::currentDateTime().addSecs(5),
                                    QFileDevice::FileModificationTime));
    changed.close();
    EXPECT_EQ(shownColor(), QColor(Qt::blue));
}

} // namespace
