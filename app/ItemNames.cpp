#include "app/ItemNames.h"

#include "app/ItemPaths.h"
#include "platform/ExtensionRule.h"
#include "platform/Files.h"
#include "platform/TextEncodings.h"

std::optional<QString> GetObjectDisplayName(const FSRef* ref) {
    QByteArray nameBytes;
    if (!ref || FSGetNameBytes(ref, &nameBytes) != noErr)
        return std::nullopt;
    auto name = DecodeUtf8Exactly(nameBytes);
    if (!name)
        return std::nullopt;
    Boolean hidden = false;
    if (LSGetExtensionHiddenForRef(ref, &hidden) == noErr && hidden)
        return NameWithoutExtension(*name);
    return name;
}
