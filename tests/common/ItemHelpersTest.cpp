#include "common/ImageScaling.h"
#include "common/ItemKinds.h"
#include "common/ItemNames.h"
#include "common/ItemPaths.h"
#include "platform/local/files/Files.h"
#include "tests/support/MediaFixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class ItemHelpers : public ::testing::Test {
protected:
    FSRef make(const QByteArray& name, const QByteArray& content = "") {
        const QByteArray path = QFile::encodeName(m_dir.path()) + '/' + name;
        EXPECT_TRUE(fixtures::WriteText(path, content));
        FSRef ref;
        EXPECT_EQ(FSPathMakeRef(path, &ref), noErr);
        return ref;
    }
    QTemporaryDir m_dir;
};

TEST_F(ItemHelpers, NameThatIsNotUtf8HasNoPathAndNoDisplayName) {
    EXPECT_FALSE(stringWithFSRef(nullptr));
    const FSRef ref = make("bad\xff.txt");
    EXPECT_FALSE(stringWithFSRef(&ref));
    EXPECT_FALSE(GetObjectDisplayName(&ref));
    EXPECT_FALSE(IsWeblocFile(&ref));
    // Qt cannot name the file to remove it with the temporary folder.
    ::unlink((QFile::encodeName(m_dir.path()) + "/bad\xff.txt").constData());
}

TEST_F(ItemHelpers, DisplayNameHidesTheExtensionOnlyWhenFlagged) {
    FSRef report = make("report.pdf");
    EXPECT_EQ(GetObjectDisplayName(&report), QStringLiteral("report.pdf"));
    ASSERT_EQ(LSSetExtensionHiddenForRef(&report, true), noErr);
    EXPECT_EQ(GetObjectDisplayName(&report), QStringLiteral("report"));

    FSRef dotfile = make(".profile");
    ASSERT_EQ(LSSetExtensionHiddenForRef(&dotfile, true), noErr);
    EXPECT_EQ(GetObjectDisplayName(&dotfile), QStringLiteral(".profile"));
}

TEST_F(ItemHelpers, WebLocationsAreKnownByTheirExtensionAndLinkEntriesByTheirType) {
    const FSRef upper = make("page.WEBLOC");
    const FSRef shortcut = make("page.Url");
    const FSRef bare = make("webloc");
    const FSRef other = make("page.webloc.txt");
    EXPECT_TRUE(IsWeblocFile(&upper));
    EXPECT_TRUE(IsWeblocFile(&shortcut));
    EXPECT_FALSE(IsWeblocFile(&bare));
    EXPECT_FALSE(IsWeblocFile(&other));
    EXPECT_FALSE(IsWeblocFile(nullptr));
    const FSRef link = make("site.desktop", "[Desktop Entry]\nType=Link\nURL=javascript:x\n");
    const FSRef app = make("app.desktop", "[Desktop Entry]\nType=Application\nExec=true\n");
    EXPECT_TRUE(IsWeblocFile(&link));
    EXPECT_FALSE(IsWeblocFile(&app));
}

QImage opaque(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::red);
    return image;
}

// The rows (or columns) that hold opaque pixels, as [first, last].
std::pair<int, int> opaqueSpan(const QImage& image, bool rows) {
    int first = -1, last = -1;
    const int count = rows ? image.height() : image.width();
    for (int i = 0; i < count; ++i) {
        const QRgb pixel =
            rows ? image.pixel(image.width() / 2, i) : image.pixel(i, image.height() / 2);
        if (qAlpha(pixel) == 255) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    return {first, last};
}

TEST(ImageScaling, FitsAndCentresAlongTheShortAxis) {
    const auto wide = imageByScalingProportionallyToSize(opaque(100, 50), QSize(64, 64));
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->size(), QSize(64, 64));
    EXPECT_EQ(opaqueSpan(*wide, true), std::make_pair(16, 47));
    EXPECT_EQ(opaqueSpan(*wide, false), std::make_pair(0, 63));
    EXPECT_EQ(qAlpha(wide->pixel(32, 5)), 0);
}

TEST(ImageScaling, SameSizeIsAnUnscaledCopyAndNothingComesOfNothing) {
    QImage image = opaque(64, 64);
    image.setPixel(3, 7, qRgb(0, 255, 0));
    const auto copy = imageByScalingProportionallyToSize(image, QSize(64, 64));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->pixel(3, 7), qRgb(0, 255, 0));
    EXPECT_EQ(copy->pixel(4, 7), qRgb(255, 0, 0));
    EXPECT_FALSE(imageByScalingProportionallyToSize(QImage(), QSize(64, 64)));
    EXPECT_FALSE(imageByScalingProportionallyToSize(image, QSize(0, 64)));
}

} // namespace
