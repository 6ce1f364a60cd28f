#include "common/ItemPaths.h"

#include "platform/local/files/Files.h"
#include "platform/local/text/TextEncodings.h"

namespace {
constexpr UInt32 kPathBufferSize = 4096;
} // namespace

std::optional<QString> stringWithFSRef(const FSRef* ref) {
    if (!ref)
        return std::nullopt;
    UInt8 buffer[kPathBufferSize];
    if (FSRefMakePath(ref, buffer, sizeof buffer) != noErr)
        return std::nullopt;
    return DecodeUtf8Exactly(QByteArray(reinterpret_cast<const char*>(buffer)));
}

bool getFSRef(const QString& path, FSRef* ref) {
    if (!ref || path.isEmpty())
        return false;
    return FSPathMakeRef(path.toUtf8(), ref) == noErr;
}
