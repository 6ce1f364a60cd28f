#include "common/ClipboardText.h"
#include "platform/services/PasteboardImage.h"
#include "platform/world/World.h"
#include "tests/support/MediaFixtures.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

using platform::world::PasteboardItem;

class ClipboardTextTest : public ::testing::Test {
protected:
    ClipboardTextTest() : m_installed(m_world.services()) {}

    void items(std::vector<PasteboardItem> items) { m_world.clipboard.items = std::move(items); }
    static QByteArray utf16(const QString& text) {
        return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    }

    platform::world::World m_world;
    platform::ScopedPlatform m_installed;
};

TEST_F(ClipboardTextTest, TheEarliestItemAndTheFirstFlavorInOrderWin) {
    items({{{{kUTTypePNG, QByteArray("png")}}},
           {{{kUTTypeUTF16PlainText, utf16(QStringLiteral("sixteen"))},
             {kUTTypeUTF8PlainText, QByteArray("eight")}}},
           {{{kUTTypeUTF8PlainText, QByteArray("later item")}}}});
    EXPECT_EQ(ClipboardText(true), QStringLiteral("eight"));
}

TEST_F(ClipboardTextTest, BytesAreReadInTheirFlavorsEncodingOnly) {
    // UTF-16 of ASCII text holds NULs; read as UTF-8 up to the first NUL it would be "h".
    items({{{{kUTTypeUTF16ExternalPlainText, utf16(QStringLiteral("hi"))}}}});
    EXPECT_EQ(ClipboardText(true), QStringLiteral("hi"));
    items({{{{kUTTypeUTF16PlainText, QByteArray("\xff\xfe\x41\x00\x00\x00", 6)}}}});
    EXPECT_EQ(ClipboardText(true), QStringLiteral("A"));
    // A NUL inside UTF-8 stays where it is: read as UTF-16, "ab\0c" would be two CJK characters
    // that a rename would then use as a name.
    items({{{{kUTTypeUTF8PlainText, QByteArray("ab\0c", 4)}}}});
    EXPECT_EQ(ClipboardText(false), QString(QStringLiteral("ab") + QChar(0) + u'c'));
    items({{{{kUTTypeText, QByteArray("\xff\xfe\x41\x00", 4)}}}});
    EXPECT_EQ(ClipboardText(false), std::nullopt);
    items({{{{kUTTypeUTF8PlainText, QByteArray("end\0", 4)}}}});
    EXPECT_EQ(ClipboardText(false), QStringLiteral("end"));
}

TEST_F(ClipboardTextTest, EmptyTextFallsBackToTheScrapOnlyWhenAllowed) {
    items({{{{kUTTypeUTF8PlainText, QByteArray()}}}});
    m_world.clipboard.scrap[kScrapFlavorTypeText] = QByteArray("legacy\0tail", 11);
    EXPECT_EQ(ClipboardText(false), std::nullopt);
    EXPECT_EQ(ClipboardText(true), QStringLiteral("legacy"));
    m_world.clipboard.scrap[kScrapFlavorTypeText] = QByteArray("caf\x8e", 4); // Mac Roman
    EXPECT_EQ(ClipboardText(true), QStringLiteral("caf\u00e9"));
    m_world.clipboard.scrap[kScrapFlavorTypeText] = QByteArray();
    EXPECT_EQ(ClipboardText(true), std::nullopt);
}

TEST_F(ClipboardTextTest, PuttingTextLeavesOnlyThatText) {
    items({{{{kUTTypePNG, QByteArray("png")}, {kUTTypeText, QByteArray("old")}}},
           {{{kUTTypeUTF8PlainText, QByteArray("second")}}}});
    m_world.clipboard.scrap[kScrapFlavorTypeText] = "legacy";
    EXPECT_EQ(PutStringOnPasteboard(QString()), noErr);
    ASSERT_EQ(m_world.clipboard.items.size(), 1u);
    ASSERT_EQ(m_world.clipboard.items[0].flavors.size(), 1u);
    EXPECT_EQ(m_world.clipboard.items[0].flavors[0].first, kUTTypeUTF8PlainText);
    EXPECT_TRUE(m_world.clipboard.items[0].flavors[0].second.isEmpty());
    EXPECT_TRUE(m_world.clipboard.scrap.empty());
}

TEST_F(ClipboardTextTest, TextWithoutAUtf8FormIsRefusedWithAnAlert) {
    items({{{{kUTTypeUTF8PlainText, QByteArray("before")}}}});
    const QString loneSurrogate(QChar(0xD800));
    EXPECT_NE(PutStringOnPasteboard(QStringLiteral("a") + loneSurrogate), noErr);
    EXPECT_TRUE(m_world.clipboard.items.empty());
    ASSERT_EQ(m_world.events().size(), 1);
    EXPECT_EQ(m_world.eventsOf<platform::world::events::Alert>().size(), 1u);
}

TEST_F(ClipboardTextTest, PicturesFromTheFirstItemWhosePictureDecodes) {
    QImage picture(7, 3, QImage::Format_RGB32);
    picture.fill(Qt::red);
    items({{{{kUTTypeUTF8PlainText, QByteArray("text only")}}},
           {{{QStringLiteral("public.tiff"), QByteArray("not a tiff")}}},
           {{{kUTTypePNG, fixtures::PngBytes(picture)}}}});
    EXPECT_TRUE(ImageCanInitWithPasteboard(&platform::pasteboard()));
    const auto image = ImageInitWithPasteboard(&platform::pasteboard());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), QSize(7, 3));

    items({{{{kUTTypeUTF8PlainText, QByteArray("text only")}}}});
    EXPECT_FALSE(ImageCanInitWithPasteboard(&platform::pasteboard()));
}

} // namespace
