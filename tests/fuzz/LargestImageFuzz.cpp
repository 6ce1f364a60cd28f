// Any bytes given to the image decoder give a picture no larger than its bound or none: it never
// crashes, reads out of bounds or allocates the pixels of a picture the bytes merely claim.
#include "platform/local/media/LargestImage.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto image =
        LargestImageInData(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (image &&
        (image->isNull() || image->width() > kMaxDecodedSide || image->height() > kMaxDecodedSide))
        std::abort();
    return 0;
}
