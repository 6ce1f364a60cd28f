#include "platform/local/media/LargestImage.h"

#include <QBuffer>
#include <QImageReader>
#include <QSize>
#include <QtEndian>
#include <algorithm>
#include <limits>
#include <vector>

namespace {

// How many pictures of one file are looked at: an .ico holds a handful, and a TIFF may chain
// thousands of pages, each of which costs a walk along its directories to reach.
constexpr int kMaxPicturesExamined = 256;

// What Qt's readers may allocate for the picture chosen: a kMaxDecodedSide square at eight
// bytes a pixel, as 16-bit PNGs decode.
constexpr int kDecoderAllocationMegabytes = 128;

constexpr qsizetype kIcoHeaderSize = 6;
constexpr qsizetype kIcoEntrySize = 16;
constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";
constexpr qsizetype kPngSignatureSize = 8;

const uchar* At(const QByteArray& data, qint64 offset) {
    return reinterpret_cast<const uchar*>(data.constData()) + offset;
}

QSize SizeOf(qint64 width, qint64 height) {
    constexpr qint64 most = std::numeric_limits<int>::max();
    if (width <= 0 || height <= 0 || width > most || height > most)
        return {};
    return QSize(int(width), int(height));
}

// What Qt's ico reader decodes for one directory entry. Its reported size is the entry's own
// one-byte sides, but it decodes an embedded PNG at the PNG's size, and a bitmap whose side is
// written as 0 ("256 or more") at the bitmap header's size: a 16 x 16 entry can hold a picture
// of any size, so the real size is read where the reader will take it from.
QSize IcoPictureSize(const QByteArray& data, qsizetype entry) {
    const int width = At(data, entry)[0];
    const int height = At(data, entry)[1];
    const qint64 offset = qFromLittleEndian<quint32>(At(data, entry + 12));
    // A PNG opens with its signature and then its header chunk: length, "IHDR", width, height.
    if (offset + kPngSignatureSize + 16 <= data.size() &&
        data.mid(offset, kPngSignatureSize) == QByteArray(kPngSignature, kPngSignatureSize))
        return SizeOf(qFromBigEndian<quint32>(At(data, offset + 16)),
                      qFromBigEndian<quint32>(At(data, offset + 20)));
    // A bitmap header: its length, then the width and the height of the picture and its mask
    // stacked.
    if (offset + 12 > data.size())
        return {};
    const qint32 bitmapWidth = qFromLittleEndian<qint32>(At(data, offset + 4));
    const qint32 bitmapHeight = qFromLittleEndian<qint32>(At(data, offset + 8));
    return SizeOf(width ? width : bitmapWidth, height ? height : bitmapHeight / 2);
}

std::vector<QSize> IcoPictureSizes(const QByteArray& data) {
    std::vector<QSize> sizes;
    if (data.size() < kIcoHeaderSize)
        return sizes;
    const int count = std::min<int>(qFromLittleEndian<quint16>(At(data, 4)), kMaxPicturesExamined);
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = kIcoHeaderSize + i * kIcoEntrySize;
        if (entry + kIcoEntrySize > data.size())
            break;
        sizes.push_back(IcoPictureSize(data, entry));
    }
    return sizes;
}

// The sizes the reader's format handler tells, picture by picture, as far as it can move on.
std::vector<QSize> ReportedSizes(QImageReader& reader) {
    std::vector<QSize> sizes{reader.size()};
    const int count = std::min(reader.imageCount(), kMaxPicturesExamined);
    for (int i = 1; i < count && reader.jumpToImage(i); ++i)
        sizes.push_back(reader.size());
    return sizes;
}

bool WithinBound(const QSize& size) {
    return size.isValid() && !size.isEmpty() && size.width() <= kMaxDecodedSide &&
           size.height() <= kMaxDecodedSide;
}

std::optional<int> LargestWithinBound(const std::vector<QSize>& sizes) {
    std::optional<int> largest;
    qint64 largestArea = 0;
    for (int i = 0; i < int(sizes.size()); ++i) {
        const qint64 area = qint64(sizes[i].width()) * sizes[i].height();
        if (WithinBound(sizes[i]) && area > largestArea) {
            largest = i;
            largestArea = area;
        }
    }
    return largest;
}

} // namespace

std::optional<QImage> LargestImageInData(const QByteArray& data) {
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return std::nullopt;
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format.isEmpty())
        return std::nullopt;
    const bool ico = format == "ico" || format == "cur";
    const auto chosen = LargestWithinBound(ico ? IcoPictureSizes(data) : ReportedSizes(reader));
    if (!chosen)
        return std::nullopt;

    // A reader of its own, set on the format found, so that no other plugin's guess at the bytes
    // decodes what was measured by this one.
    QBuffer again(&bytes);
    if (!again.open(QIODevice::ReadOnly))
        return std::nullopt;
    QImageReader decoder(&again, format);
    decoder.setAutoDetectImageFormat(false);
    decoder.setAllocationLimit(kDecoderAllocationMegabytes);
    if (*chosen > 0 && !decoder.jumpToImage(*chosen))
        return std::nullopt;
    QImage image = decoder.read();
    if (image.isNull() || !WithinBound(image.size()))
        return std::nullopt;
    return image;
}
