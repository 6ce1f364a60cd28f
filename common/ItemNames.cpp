#include "common/ItemNames.h"

#include "platform/local/files/ExtensionRule.h"
#include "platform/local/files/FileOperations.h"
#include "platform/local/files/Files.h"
#include "platform/local/text/TextEncodings.h"

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

std::optional<QString> GetObjectName(const FSRef* item) {
    QString name;
    if (FSGetNameUnicode(item, &name) != noErr)
        return std::nullopt;
    return name;
}

std::optional<QString> FSGetName(const FSRef* item) {
    return GetObjectName(item);
}

std::optional<QString> CopyNameExtension(const FSRef* item) {
    const auto name = GetObjectName(item);
    if (!name)
        return std::nullopt;
    const auto start = ExtensionStartIndex(*name);
    if (!start)
        return std::nullopt;
    return name->mid(*start);
}

OSStatus SetObjectName(FSRef* item, const QString& name) {
    return FSRenameUnicode(item, name, item);
}
