// Any bytes given to the icon family reader give images within its bounds or none: it never
// crashes, reads out of bounds or allocates without bound.
#include "platform/local/media/IconFamily.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    qint64 pixels = 0;
    for (const QImage& image : ReadIconFamily(bytes)) {
        if (image.format() != QImage::Format_ARGB32_Premultiplied || image.width() > 2048 ||
            image.height() > 2048)
            std::abort();
        pixels += qint64(image.width()) * image.height();
    }
    if (pixels > 8 * 1024 * 1024)
        std::abort();
    return 0;
}
