#include "platform/local/media/IconFamily.h"

#include "platform/local/files/ReadOnlyFile.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>
#include <array>
#include <cstring>
#include <iterator>
#include <optional>

namespace {

// An .icns of every size with 1024-pixel PNGs is a few megabytes; none comes near this.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;
// Real families have a few dozen elements at most.
constexpr int kMaxElements = 1024;
// The largest member of a family is 1024 pixels square; an encoded image's own claim is
// believed up to twice that.
constexpr int kMaxEncodedSide = 2048;
// Qt's PNG decoder may produce 16 bits a channel before the conversion to 8: 32 MiB at most.
constexpr int kDecoderAllocationMegabytes = 64;
// All images of one family together. A complete family is under two million pixels; this keeps
// a file of many large encoded claims from turning into hundreds of megabytes of images.
constexpr qint64 kMaxFamilyPixels = 8 * 1024 * 1024;

constexpr quint32 fourCharCode(const char (&code)[5]) {
    return quint32(uchar(code[0])) << 24 | quint32(uchar(code[1])) << 16 |
           quint32(uchar(code[2])) << 8 | quint32(uchar(code[3]));
}

enum class Layout {
    Encoded,       // PNG or JPEG 2000
    EncodedOrArgb, // that, or 'ARGB' and the alpha, red, green and blue channels, each packed
    PackedRgb,     // the red, green and blue channels, each packed; alpha in a mask element
};

struct ImageType {
    quint32 code;
    int side;
    Layout layout;
    quint32 mask = 0;
};

const ImageType kImageTypes[] = {
    {fourCharCode("is32"), 16, Layout::PackedRgb, fourCharCode("s8mk")},
    {fourCharCode("il32"), 32, Layout::PackedRgb, fourCharCode("l8mk")},
    {fourCharCode("ih32"), 48, Layout::PackedRgb, fourCharCode("h8mk")},
    {fourCharCode("it32"), 128, Layout::PackedRgb, fourCharCode("t8mk")},
    {fourCharCode("ic04"), 16, Layout::EncodedOrArgb},
    {fourCharCode("ic05"), 32, Layout::EncodedOrArgb},
    {fourCharCode("icp4"), 16, Layout::EncodedOrArgb},
    {fourCharCode("icp5"), 32, Layout::EncodedOrArgb},
    {fourCharCode("icsb"), 18, Layout::EncodedOrArgb},
    {fourCharCode("icp6"), 64, Layout::Encoded},
    {fourCharCode("ic07"), 128, Layout::Encoded},
    {fourCharCode("ic08"), 256, Layout::Encoded},
    {fourCharCode("ic09"), 512, Layout::Encoded},
    {fourCharCode("ic10"), 1024, Layout::Encoded},
    {fourCharCode("ic11"), 32, Layout::Encoded},
    {fourCharCode("ic12"), 64, Layout::Encoded},
    {fourCharCode("ic13"), 256, Layout::Encoded},
    {fourCharCode("ic14"), 512, Layout::Encoded},
    {fourCharCode("icsB"), 36, Layout::Encoded},
    {fourCharCode("sb24"), 24, Layout::Encoded},
    {fourCharCode("SB24"), 48, Layout::Encoded},
};
constexpr size_t kImageTypeCount = std::size(kImageTypes);

// The data of one element, inside the bytes given.
struct Span {
    const uchar* data = nullptr;
    qsizetype size = 0;

    bool startsWith(const char* prefix, qsizetype length) const {
        return size >= length && std::memcmp(data, prefix, size_t(length)) == 0;
    }
};

struct Elements {
    std::array<std::optional<Span>, kImageTypeCount> images; // by kImageTypes index
    std::array<std::optional<Span>, kImageTypeCount> masks;  // the mask of each image type
    std::vector<size_t> order;                               // image types as the file has them
};

// The elements that matter, or none when the bytes are not a well-formed family. A length that
// does not fit refuses the whole file: nothing after it can be trusted to start where it says.
std::optional<Elements> elementsOf(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    if (bytes.size() < 8 || std::memcmp(data, "icns", 4) != 0)
        return std::nullopt;
    const qint64 total = qFromBigEndian<quint32>(data + 4);
    if (total < 8 || total > bytes.size())
        return std::nullopt;
    Elements elements;
    qint64 offset = 8;
    for (int count = 0; offset < total; ++count) {
        if (count == kMaxElements || total - offset < 8)
            return std::nullopt;
        const quint32 code = qFromBigEndian<quint32>(data + offset);
        const qint64 length = qFromBigEndian<quint32>(data + offset + 4);
        if (length < 8 || length > total - offset)
            return std::nullopt;
        const Span span{data + offset + 8, qsizetype(length - 8)};
        for (size_t i = 0; i < kImageTypeCount; ++i) {
            if (code == kImageTypes[i].code && !elements.images[i]) {
                elements.images[i] = span;
                elements.order.push_back(i);
            } else if (code == kImageTypes[i].mask && !elements.masks[i]) {
                elements.masks[i] = span;
            }
        }
        offset += length;
    }
    return elements;
}

// Unpacks `channels` planes of `count` bytes each into `out`, each plane packed on its own: a
// control byte below 128 is followed by that many plus one bytes to copy, one of 128 or more by
// one byte to repeat that many less 125 times. False when a run would pass the end of its plane
// or the data ends before the last plane is full.
bool unpackPlanes(Span packed, qsizetype count, int channels, uchar* out) {
    qsizetype in = 0;
    for (int channel = 0; channel < channels; ++channel) {
        uchar* plane = out + channel * count;
        qsizetype done = 0;
        while (done < count) {
            if (in == packed.size)
                return false;
            const uchar control = packed.data[in++];
            if (control < 128) {
                const qsizetype run = control + 1;
                if (run > count - done || run > packed.size - in)
                    return false;
                std::memcpy(plane + done, packed.data + in, size_t(run));
                in += run;
                done += run;
            } else {
                const qsizetype run = control - 125;
                if (run > count - done || in == packed.size)
                    return false;
                std::memset(plane + done, packed.data[in++], size_t(run));
                done += run;
            }
        }
    }
    return true;
}

// A square image from its planes; opaque without `alpha`.
QImage imageFromPlanes(int side, const uchar* red, const uchar* green, const uchar* blue,
                       const uchar* alpha) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    for (int y = 0; y < side; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < side; ++x) {
            const qsizetype i = qsizetype(y) * side + x;
            line[x] = qPremultiply(qRgba(red[i], green[i], blue[i], alpha ? alpha[i] : 255));
        }
    }
    return image;
}

QImage decodePackedRgb(const ImageType& type, Span data, const std::optional<Span>& mask) {
    const qsizetype count = qsizetype(type.side) * type.side;
    // The largest size's pixels come after four bytes that are always zero and mean nothing.
    if (type.code == fourCharCode("it32")) {
        if (data.size < 4)
            return {};
        data = {data.data + 4, data.size - 4};
    }
    std::vector<uchar> planes(size_t(count) * 3);
    if (data.size == count * 4) {
        // Unpacked, a pixel at a time: an unused byte, then red, green and blue. No packed data
        // is this long, its longest being each plane plus one control byte in 128.
        for (qsizetype i = 0; i < count; ++i) {
            planes[size_t(i)] = data.data[4 * i + 1];
            planes[size_t(count + i)] = data.data[4 * i + 2];
            planes[size_t(2 * count + i)] = data.data[4 * i + 3];
        }
    } else if (data.size == count * 3) {
        // Exactly the planes' length: the planes unpacked, one after the other.
        std::memcpy(planes.data(), data.data, planes.size());
    } else if (!unpackPlanes(data, count, 3, planes.data())) {
        return {};
    }
    const uchar* alpha = mask && mask->size >= count ? mask->data : nullptr;
    const uchar* red = planes.data();
    return imageFromPlanes(type.side, red, red + count, red + 2 * count, alpha);
}

QImage decodeArgb(const ImageType& type, Span packed) {
    const qsizetype count = qsizetype(type.side) * type.side;
    std::vector<uchar> planes(size_t(count) * 4);
    if (!unpackPlanes(packed, count, 4, planes.data()))
        return {};
    const uchar* alpha = planes.data();
    return imageFromPlanes(type.side, alpha + count, alpha + 2 * count, alpha + 3 * count, alpha);
}

// A PNG or JPEG 2000 image, its size read from its header and refused before it is decoded
// when beyond the family's bounds or `pixelBudget`.
QImage decodeEncoded(Span data, const char* format, qint64 pixelBudget) {
    QByteArray encoded =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data.data), data.size);
    QBuffer buffer(&encoded);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    // Only the named format's handler reads it: no other plugin's guess at the content, Qt's own
    // icns handler among them, gets these bytes.
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(kDecoderAllocationMegabytes);
    const QSize claimed = reader.size();
    if (!claimed.isValid() || claimed.width() > kMaxEncodedSide ||
        claimed.height() > kMaxEncodedSide ||
        qint64(claimed.width()) * claimed.height() > pixelBudget)
        return {};
    const QImage image = reader.read();
    if (image.isNull() || image.size() != claimed)
        return {};
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage decodeImage(const ImageType& type, Span data, const std::optional<Span>& mask,
                   qint64 pixelBudget) {
    static const char kPngSignature[] = "\x89PNG\r\n\x1a\n";
    static const char kJpeg2000Signature[] = "\0\0\0\x0cjP  \r\n\x87\n";
    if (data.startsWith(kPngSignature, 8))
        return decodeEncoded(data, "png", pixelBudget);
    if (data.startsWith(kJpeg2000Signature, 12))
        return decodeEncoded(data, "jp2", pixelBudget);
    if (qint64(type.side) * type.side > pixelBudget)
        return {};
    if (type.layout == Layout::EncodedOrArgb && data.startsWith("ARGB", 4))
        return decodeArgb(type, {data.data + 4, data.size - 4});
    if (type.layout == Layout::PackedRgb)
        return decodePackedRgb(type, data, mask);
    return {};
}

} // namespace

std::vector<QImage> ReadIconFamily(const QByteArray& bytes) {
    std::vector<QImage> images;
    const std::optional<Elements> elements = elementsOf(bytes);
    if (!elements)
        return images;
    qint64 pixelBudget = kMaxFamilyPixels;
    for (const size_t i : elements->order) {
        QImage image =
            decodeImage(kImageTypes[i], *elements->images[i], elements->masks[i], pixelBudget);
        if (image.isNull())
            continue;
        pixelBudget -= qint64(image.width()) * image.height();
        images.push_back(std::move(image));
    }
    return images;
}

std::vector<QImage> ReadIconFamilyFile(const QString& path) {
    const std::optional<QByteArray> bytes = ReadRegularFile(path, kMaxFileSize);
    if (!bytes)
        return {};
    return ReadIconFamily(*bytes);
}
