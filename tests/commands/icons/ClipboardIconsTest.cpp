// The clipboard's picture as custom icons, drawn over them, and removed, on real files of a
// world's root: what ends up in the icon the file manager shows, and each failure's alert.
#include "commands/icons/ClipboardIcons.h"
#include "platform/local/files/CustomIconStore.h"
#include "platform/world/World.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/WorldAlerts.h"
#include "tests/support/WorldSelection.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace events = platform::world::events;

QImage Filled(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

class CustomIconsTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_world.root() + u'/' + name; }
    void make(const QStringList& names) {
        for (const QString& name : names)
            ASSERT_TRUE(fixtures::WriteText(path(name), "x"));
        fixtures::SelectInWorld(m_world, names);
    }
    void copyToClipboard(const QImage& image) {
        m_world.clipboard.items = {{{{QStringLiteral("public.png"), fixtures::PngBytes(image)}}}};
    }
    QImage icon(const QString& name) const {
        const auto file = CustomIconFile(path(name));
        return file ? QImage(*file) : QImage();
    }
    QStringList alertMessages() const { return fixtures::AlertMessages(m_world); }

    platform::world::World m_world;
    platform::ScopedPlatform m_installed{m_world.services()};
};

TEST_F(CustomIconsTest, ClipboardPictureBecomesEachIconAndRemovalLeavesCopiesTheirPicture) {
    // An item removed after it was selected is passed over without a word.
    make({"a.txt", "gone.txt", "b.txt"});
    ASSERT_TRUE(QFile::remove(path("gone.txt")));
    copyToClipboard(Filled(64, 64, Qt::red));
    SetIconsFromClipboardOfSelection();
    EXPECT_TRUE(alertMessages().isEmpty());
    EXPECT_FALSE(QFile::exists(path("gone.txt")));
    EXPECT_EQ(icon("b.txt").pixelColor(10, 10), QColor(Qt::red));
    const QString stored = *CustomIconFile(path("a.txt"));

    fixtures::SelectInWorld(m_world, {"a.txt", "b.txt"});
    m_world.alertAnswers = {1};
    RemoveCustomIconsOfSelection();
    EXPECT_FALSE(CustomIconFile(path("a.txt")));
    // A copy made before the removal names the same picture, which stays.
    EXPECT_TRUE(QFile::exists(stored));
}

TEST_F(CustomIconsTest, EachItemGetsItsOwnAlertWhenThereIsNoPictureOrTheFileRefuses) {
    make({"a.txt", "b.txt", "c.txt"});
    m_world.clipboard.items = {{{{QStringLiteral("public.utf8-plain-text"), "words"}}}};
    SetIconsFromClipboardOfSelection();
    AddClipboardToIconsOfSelection();
    EXPECT_EQ(alertMessages(),
              QStringList(6, QStringLiteral("An image could not be created from the Clipboard.")));

    // A pipe takes no attributes, so it is refused before a picture is stored for it.
    copyToClipboard(Filled(32, 32, Qt::blue));
    ASSERT_EQ(mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    fixtures::SelectInWorld(m_world, {"pipe"});
    SetIconsFromClipboardOfSelection();
    AddClipboardToIconsOfSelection();
    const auto alerts = m_world.eventsOf<events::Alert>();
    ASSERT_EQ(alerts.size(), 8u);
    EXPECT_EQ(alerts[6].message,
              QStringLiteral("The clipboard image could not be copied to the file."));
    EXPECT_FALSE(alerts[6].detail);
    EXPECT_EQ(alerts[7].message,
              QStringLiteral("The clipboard image could not be added to the file icon."));
    EXPECT_EQ(alerts[7].detail, path("pipe"));
    EXPECT_TRUE(icon("pipe").isNull());
    EXPECT_TRUE(QDir(m_world.home() + QStringLiteral("/.local/share/velmora/icons"))
                    .entryList(QDir::Files)
                    .isEmpty());
}

// The world's icons are grey squares of 16, 32 and 128 pixels: a picture twice as wide as high
// covers the middle half of the 128-pixel square, the icon shows above and below it.
TEST_F(CustomIconsTest, OverlayFitsThePictureIntoTheLargestIconWidthAndCentresIt) {
    make({"a.txt"});
    QImage wide = Filled(256, 128, Qt::transparent);
    QPainter(&wide).fillRect(0, 64, 256, 64, Qt::red);
    copyToClipboard(wide);
    AddClipboardToIconsOfSelection();
    const QImage composed = icon("a.txt");
    ASSERT_EQ(composed.size(), QSize(128, 128));
    EXPECT_EQ(composed.pixelColor(64, 31), QColor(Qt::gray));
    EXPECT_EQ(composed.pixelColor(64, 40), QColor(Qt::gray)); // the clipboard's clear half
    EXPECT_EQ(composed.pixelColor(64, 70), QColor(Qt::red));
    EXPECT_EQ(composed.pixelColor(64, 95), QColor(Qt::red));
    EXPECT_EQ(composed.pixelColor(64, 96), QColor(Qt::gray));

    // Drawn again over its own custom icon, the largest width is now that icon's.
    copyToClipboard(Filled(20000, 10, Qt::green));
    AddClipboardToIconsOfSelection();
    EXPECT_EQ(icon("a.txt").size(), QSize(128, 128));
    EXPECT_TRUE(alertMessages().isEmpty());
}

TEST_F(CustomIconsTest, HugeAndTinyPicturesAreStoredWithinTheIconBound) {
    make({"a.txt", "b.txt"});
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        Filled(8000, 4000, Qt::white).save(&buffer, "JPEG", 10);
    }
    m_world.clipboard.items = {{{{QStringLiteral("public.jpeg"), jpeg}}}};
    fixtures::SelectInWorld(m_world, {"a.txt"});
    SetIconsFromClipboardOfSelection();
    EXPECT_EQ(icon("a.txt").size(), QSize(kMaxCustomIconSide, kMaxCustomIconSide / 2));

    copyToClipboard(Filled(1, 1, Qt::red));
    fixtures::SelectInWorld(m_world, {"b.txt"});
    SetIconsFromClipboardOfSelection();
    EXPECT_EQ(icon("b.txt").size(), QSize(1, 1));
    EXPECT_TRUE(alertMessages().isEmpty());
}

} // namespace
