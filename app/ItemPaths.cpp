#include "app/ItemPaths.h"

#include "platform/Files.h"

#include <QStringDecoder>

namespace {
constexpr UInt32 kPathBufferSize = 4096;
} // namespace

std::optional<QString> DecodeUtf8Exactly(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

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
