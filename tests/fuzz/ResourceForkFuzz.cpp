// Any bytes given as a resource fork or an AppleDouble file give resources inside them or none:
// the reader never crashes, reads out of bounds or allocates more than the bytes hold.
#include "platform/local/files/ResourceFork.h"

#include <cstdint>
#include <cstdlib>

namespace {

void ReadEveryResource(const QByteArray& fork) {
    const auto map = ResourceMap::parse(fork);
    if (!map)
        return;
    for (const OSType type :
         {FOUR_CHAR_CODE("url "), FOUR_CHAR_CODE("TEXT"), FOUR_CHAR_CODE("icns")}) {
        const int count = map->count(type);
        if (count < 0 || count > 0x10000)
            std::abort();
        for (int index = 0; index <= count + 1; ++index) {
            const auto data = map->indexed(type, index);
            if (data && (index < 1 || index > count || data->size() > fork.size()))
                std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    ReadEveryResource(bytes);
    if (const auto fork = AppleDoubleResourceFork(bytes)) {
        if (fork->size() > bytes.size())
            std::abort();
        ReadEveryResource(*fork);
    }
    return 0;
}
