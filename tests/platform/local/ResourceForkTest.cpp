#include "platform/local/files/ResourceFork.h"
#include "tests/support/MediaFixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace {

constexpr OSType kUrl = FOUR_CHAR_CODE("url ");
constexpr OSType kText = FOUR_CHAR_CODE("TEXT");

const QByteArray kWebFork = MakeResourceFork({{kUrl, "https://example.org/"}});

QByteArray with32(QByteArray bytes, qint64 at, quint32 value) {
    qToBigEndian(value, bytes.data() + at);
    return bytes;
}

QByteArray with16(QByteArray bytes, qint64 at, quint16 value) {
    qToBigEndian(value, bytes.data() + at);
    return bytes;
}

TEST(ResourceForkTest, BuiltForkReadsBackByTypeAndIndex) {
    const auto map = ResourceMap::parse(
        MakeResourceFork({{kUrl, "http://a/"}, {kText, "words"}, {kUrl, QByteArray("b\0c", 3)}}));
    ASSERT_TRUE(map);
    EXPECT_EQ(map->count(kUrl), 2);
    EXPECT_EQ(map->count(kText), 1);
    EXPECT_EQ(map->count(FOUR_CHAR_CODE("icns")), 0);
    EXPECT_EQ(map->indexed(kUrl, 1), QByteArray("http://a/"));
    EXPECT_EQ(map->indexed(kUrl, 2), QByteArray("b\0c", 3));
    EXPECT_EQ(map->indexed(kText, 1), QByteArray("words"));
    EXPECT_FALSE(map->indexed(kUrl, 0));
    EXPECT_FALSE(map->indexed(kUrl, 3));
    EXPECT_EQ(AppleDoubleResourceFork(MakeAppleDouble(kWebFork)), kWebFork);

    const auto empty = ResourceMap::parse(MakeResourceFork({}));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->count(kUrl), 0);
}

TEST(ResourceForkTest, LyingForkGivesNoResource) {
    const qint64 data = qFromBigEndian<quint32>(kWebFork.constData());
    const qint64 map = qFromBigEndian<quint32>(kWebFork.constData() + 4);
    const qint64 typeList = map + 28;
    const qint64 reference = typeList + 2 + 8;
    EXPECT_FALSE(ResourceMap::parse(kWebFork.left(15)));
    EXPECT_FALSE(ResourceMap::parse(with32(kWebFork, 4, quint32(kWebFork.size()))));
    EXPECT_FALSE(ResourceMap::parse(with32(kWebFork, 8, 0xFFFFFFF0)));
    EXPECT_FALSE(ResourceMap::parse(with16(kWebFork, typeList, 0xFFFE)));
    EXPECT_FALSE(ResourceMap::parse(with16(kWebFork, typeList + 8, 0xFFF0)));
    EXPECT_FALSE(ResourceMap::parse(with16(kWebFork, typeList + 6, 0x0100)));
    // The map stands sound; only the resource's own data lies.
    const auto longData = ResourceMap::parse(with32(kWebFork, data, 0xFFFFFFFF));
    ASSERT_TRUE(longData);
    EXPECT_EQ(longData->count(kUrl), 1);
    EXPECT_FALSE(longData->indexed(kUrl, 1));
    const auto farData = ResourceMap::parse(with32(kWebFork, reference + 4, 0x00FFFFF0));
    ASSERT_TRUE(farData);
    EXPECT_FALSE(farData->indexed(kUrl, 1));
}

TEST(ResourceForkTest, LyingAppleDoubleGivesNoFork) {
    const QByteArray appleDouble = MakeAppleDouble(kWebFork);
    EXPECT_FALSE(AppleDoubleResourceFork(with32(appleDouble, 0, 0x00051600)));
    EXPECT_FALSE(AppleDoubleResourceFork(with16(appleDouble, 24, 0x1000)));
    EXPECT_FALSE(AppleDoubleResourceFork(with32(appleDouble, 26 + 12 + 8, 0xFFFFFFFF)));
    EXPECT_FALSE(AppleDoubleResourceFork(with32(appleDouble, 26 + 12, 3)));
}

TEST(ResourceForkTest, ReadsAttributeThroughLinksElseAppleDoubleWhenRegular) {
    QTemporaryDir dir;
    const QString pipe = dir.filePath("pipe.webloc");
    ASSERT_TRUE(fixtures::WriteText(pipe, {}));
    // With no writer, opening the FIFO for reading would block for good.
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("._pipe.webloc")).constData(), 0600), 0);
    EXPECT_FALSE(ReadResourceFork(pipe));

    const QString site = dir.filePath("site.webloc");
    ASSERT_TRUE(fixtures::WriteText(site, {}));
    ASSERT_TRUE(
        fixtures::WriteText(dir.filePath("._site.webloc"), MakeAppleDouble(MakeResourceFork({}))));
    const QByteArray encoded = QFile::encodeName(site);
    if (setxattr(encoded.constData(), "user.com.apple.ResourceFork", kWebFork.constData(),
                 size_t(kWebFork.size()), 0) != 0) {
        ASSERT_EQ(errno, ENOTSUP);
        GTEST_SKIP() << "the temporary folder keeps no user attributes";
    }
    EXPECT_EQ(ReadResourceFork(site), kWebFork);
    ASSERT_TRUE(QFile::link(site, dir.filePath("link.webloc")));
    EXPECT_EQ(ReadResourceFork(dir.filePath("link.webloc")), kWebFork);

    const QString other = dir.filePath("other.webloc");
    ASSERT_TRUE(fixtures::WriteText(other, {}));
    EXPECT_FALSE(ReadResourceFork(other));
    ASSERT_TRUE(fixtures::WriteText(dir.filePath("._other.webloc"), MakeAppleDouble(kWebFork)));
    EXPECT_EQ(ReadResourceFork(other), kWebFork);
}

} // namespace
