#include "platform/local/media/IconFamily.h"
#include "tests/support/MediaFixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

namespace {

QByteArray bigEndian(quint32 value) {
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray element(const char* type, const QByteArray& data) {
    return QByteArray(type, 4) + bigEndian(quint32(data.size() + 8)) + data;
}

QByteArray family(const QByteArray& elements) {
    return "icns" + bigEndian(quint32(elements.size() + 8)) + elements;
}

QByteArray pngOfSize(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    return fixtures::PngBytes(image);
}

// `count` bytes of `value` packed as repeats, the last one or two as one-byte literals.
QByteArray repeated(uchar value, int count) {
    QByteArray packed;
    for (; count >= 3; count -= std::min(count, 130))
        packed += char(std::min(count, 130) + 125) + QByteArray(1, char(value));
    for (; count > 0; --count)
        packed += QByteArray(1, '\0') + char(value);
    return packed;
}

// Opaque 16 × 16 pixels of (1, 2, 3).
const QByteArray kSmallRgb = repeated(1, 256) + repeated(2, 256) + repeated(3, 256);

QRgb pixel(const QImage& image, int x, int y) {
    return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
}

TEST(IconFamilyTest, PngElementDecodesBetweenSkippedOnes) {
    QImage source(128, 128, QImage::Format_ARGB32);
    source.fill(qRgba(0, 0, 255, 255));
    source.setPixel(5, 7, qRgba(200, 100, 50, 128));
    const auto images = ReadIconFamily(family(element("TOC ", "ic07" + bigEndian(9)) +
                                              element("ic07", fixtures::PngBytes(source)) +
                                              element("icnV", bigEndian(0x42fc0000))));
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].size(), QSize(128, 128));
    EXPECT_EQ(images[0].format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(pixel(images[0], 5, 7), qPremultiply(qRgba(200, 100, 50, 128)));
    EXPECT_EQ(pixel(images[0], 0, 0), qRgba(0, 0, 255, 255));
}

TEST(IconFamilyTest, PackedRgbTakesItsMaskWhereverItStands) {
    QByteArray mask(128 * 128, char(255));
    mask[1] = char(128);
    const QByteArray red = "\x02\x0a\x14\x1e" + repeated(200, 128 * 128 - 3);
    const QByteArray blue = QByteArray("\x00\x07", 2) + repeated(9, 128 * 128 - 1);
    const QByteArray data = QByteArray(4, '\0') + red + repeated(64, 128 * 128) + blue;
    const auto images = ReadIconFamily(family(element("t8mk", mask) + element("it32", data)));
    ASSERT_EQ(images.size(), 1u);
    ASSERT_EQ(images[0].size(), QSize(128, 128));
    EXPECT_EQ(pixel(images[0], 0, 0), qRgba(10, 64, 7, 255));
    EXPECT_EQ(pixel(images[0], 1, 0), qPremultiply(qRgba(20, 64, 9, 128)));
    EXPECT_EQ(pixel(images[0], 2, 0), qRgba(30, 64, 9, 255));
    EXPECT_EQ(pixel(images[0], 127, 127), qRgba(200, 64, 9, 255));
}

TEST(IconFamilyTest, OtherPixelLayoutsAndAMissingMask) {
    QByteArray xrgb;
    for (int i = 0; i < 32 * 32; ++i)
        xrgb += QByteArray("\x00\x04\x05\x06", 4);
    const QByteArray argb =
        "ARGB" + repeated(128, 256) + repeated(255, 256) + repeated(0, 256) + repeated(0, 256);
    const QByteArray nested = family(element("ic07", pngOfSize(128, 128)));
    const auto images = ReadIconFamily(family(
        element("l8mk", QByteArray(32 * 32, '\0')) + element("is32", kSmallRgb) +
        element("\xfd\xd9\x2f\xa8", nested) + element("il32", xrgb) + element("ic04", argb)));
    ASSERT_EQ(images.size(), 3u);
    // Another size's mask is not this one's: the small image stays opaque.
    EXPECT_EQ(pixel(images[0], 15, 15), qRgba(1, 2, 3, 255));
    // The large mask is all zero, and applies.
    EXPECT_EQ(pixel(images[1], 31, 0), 0u);
    EXPECT_EQ(images[2].size(), QSize(16, 16));
    EXPECT_EQ(pixel(images[2], 3, 3), qPremultiply(qRgba(255, 0, 0, 128)));

    const QByteArray planes = QByteArray(256, 7) + QByteArray(256, 8) + QByteArray(256, 9);
    const auto unpacked = ReadIconFamily(family(element("is32", planes)));
    ASSERT_EQ(unpacked.size(), 1u);
    EXPECT_EQ(pixel(unpacked[0], 8, 8), qRgba(7, 8, 9, 255));
}

TEST(IconFamilyTest, LengthsThatDoNotFitRefuseTheWholeFile) {
    const QByteArray good = family(element("is32", kSmallRgb));
    ASSERT_EQ(ReadIconFamily(good).size(), 1u);
    const QByteArray body = good.mid(8);
    const QByteArray lies[] = {
        "icns" + bigEndian(quint32(good.size() + 100)) + body,
        "icns" + bigEndian(7) + body,
        "ICNS" + good.mid(4),
        family(body + "abcd" + bigEndian(0)),
        family(body + "abcd" + bigEndian(7)),
        family(body + "abcd" + bigEndian(9)),
        family(body + "abc"),
        "icns" + bigEndian(quint32(good.size() - 1)) + body,
    };
    for (QByteArray bytes : lies) {
        // No spare capacity after the bytes: a read past them is caught by the address sanitizer.
        bytes.squeeze();
        EXPECT_TRUE(ReadIconFamily(bytes).empty()) << bytes.toHex().left(64).constData();
    }
}

TEST(IconFamilyTest, BrokenPackedPixelsLeaveOnlyThatImageOut) {
    const QByteArray full = repeated(1, 256);
    const QByteArray broken[] = {
        repeated(1, 254) + "\x80\x05" + full + full,            // a repeat past its plane
        repeated(1, 254) + "\x02xyz" + full + full,             // a literal past its plane
        full + full + repeated(3, 128),                         // ends with a plane half full
        full + full + "\x7f" + QByteArray(10, 'x'),             // a literal past the data
        full + full + repeated(3, 253) + QByteArray(1, '\x80'), // a repeat without its byte
    };
    for (const QByteArray& data : broken) {
        const auto images =
            ReadIconFamily(family(element("is32", data) + element("ic11", pngOfSize(32, 32)) +
                                  element("it32", QByteArray(3, '\0'))));
        ASSERT_EQ(images.size(), 1u) << data.toHex().constData();
        EXPECT_EQ(images[0].size(), QSize(32, 32));
    }
}

TEST(IconFamilyTest, EncodedClaimsBeyondTheBoundsAreRefusedUndecoded) {
    // The header claims 100000 × 100000 over the data of one pixel.
    QByteArray huge = pngOfSize(1, 1);
    qToBigEndian(quint32(100000), huge.data() + 16);
    qToBigEndian(quint32(100000), huge.data() + 20);
    qToBigEndian(quint32(crc32(0, reinterpret_cast<const Bytef*>(huge.constData()) + 12, 17)),
                 huge.data() + 29);
    EXPECT_TRUE(ReadIconFamily(family(element("ic10", huge))).empty());

    const auto sides = ReadIconFamily(
        family(element("ic09", pngOfSize(2049, 1)) + element("ic10", pngOfSize(2048, 2))));
    ASSERT_EQ(sides.size(), 1u);
    EXPECT_EQ(sides[0].size(), QSize(2048, 2));

    // Two images of the largest size take all the pixels one family may have.
    const QByteArray largest = pngOfSize(2048, 2048);
    const auto budget = ReadIconFamily(
        family(element("ic08", largest) + element("ic09", largest) + element("is32", kSmallRgb)));
    EXPECT_EQ(budget.size(), 2u);
}

TEST(IconFamilyTest, FileIsReadOnlyWhenRegular) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.icns");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(family(element("is32", kSmallRgb)));
    file.close();
    EXPECT_EQ(ReadIconFamilyFile(path).size(), 1u);
    // A FIFO with no writer would block an ordinary open for good.
    const QString fifo = dir.filePath("fifo.icns");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(ReadIconFamilyFile(fifo).empty());
    EXPECT_TRUE(ReadIconFamilyFile(dir.path()).empty());
    EXPECT_TRUE(ReadIconFamilyFile(dir.filePath("missing.icns")).empty());
}

} // namespace
