#include "commands/filenames/FilenameOperations.h"

#include "common/ClipboardText.h"
#include "common/ItemKinds.h"
#include "common/ItemLists.h"
#include "common/ItemNames.h"
#include "common/ScriptText.h"
#include "platform/local/files/ExtensionRule.h"
#include "platform/local/files/FileOperations.h"
#include "platform/local/files/Files.h"
#include "platform/local/text/LocaleText.h"
#include "platform/local/text/TextEncodings.h"
#include "platform/services/Finder.h"

namespace {

enum class Visibility { Hide, Show, Toggle };

OSStatus changeExtensionVisibility(const FSRef* item, Visibility change) {
    if (!ItemHasExtension(item))
        return noErr;
    LSItemInfoRecord info;
    if (OSStatus status = LSCopyItemInfoForRef(item, kLSRequestExtensionFlagsOnly, &info);
        status != noErr)
        return status;
    const bool hidden = info.flags & kLSItemInfoExtensionIsHidden;
    const bool hide = change == Visibility::Toggle ? !hidden : change == Visibility::Hide;
    if (hide == hidden)
        return noErr;
    const OSStatus status = LSSetExtensionHiddenForRef(item, hide);
    if (status == noErr)
        MoreFEUpdateItemFSRef(item);
    return status;
}

// The name the item's reference was made with, without a look at the file system. The operations
// read it only to rename the item, and a rename looks at the item itself: a reference to an item
// gone or replaced since is refused there.
std::optional<QByteArray> recordedNameBytes(const FSRef* item) {
    const auto recorded = FSRefRecordedItem(item);
    if (!recorded)
        return std::nullopt;
    const QByteArray& path = recorded->path;
    return path == "/" ? path : path.sliced(path.lastIndexOf('/') + 1);
}

std::optional<QString> recordedName(const FSRef* item) {
    const auto bytes = recordedNameBytes(item);
    return bytes ? DecodeUtf8Exactly(*bytes) : std::nullopt;
}

} // namespace

QStringList FilenameOperationTitles() {
    return {QStringLiteral("Hide Extension"),    QStringLiteral("Show Extension"),
            QStringLiteral("Toggle Extension"),  QStringLiteral("Append Clipboard"),
            QStringLiteral("Prepend Clipboard"), QStringLiteral("Set Name Clipboard"),
            QStringLiteral("Uppercase Name"),    QStringLiteral("Lowercase Name"),
            QStringLiteral("Capitalize Name")};
}

long FilenameOperationCode(const QString& toolTip) {
    return FilenameOperationTitles().indexOf(toolTip) + 1;
}

void ApplyFilenameOperation(const QStringList& selectionPaths, long code) {
    for (const QString& path : selectionPaths) {
        FSRef item;
        if (FSPathMakeRef(path.toUtf8(), &item) != noErr)
            continue;
        if (!ItemIsPlainFolder(&item)) {
            ProcessItemFilename(&item, code);
            continue;
        }
        const auto children = GetDirectoryItemsList(&item);
        if (!children)
            continue;
        for (FSRef child : *children) {
            // Invisibility is the name's: the one the listing has just seen.
            if (const auto name = recordedNameBytes(&child); name && !name->startsWith('.'))
                ProcessItemFilename(&child, code);
        }
    }
}

void ProcessItemFilename(FSRef* item, long code) {
    switch (code) {
    case kHideExtensionOperation:
        HideExtension(item);
        break;
    case kShowExtensionOperation:
        ShowExtension(item);
        break;
    case kToggleExtensionOperation:
        ToggleExtension(item);
        break;
    case kAppendClipboardOperation:
        ApplyClipboardToObjectName(item, kAppendClipboardMode);
        break;
    case kPrependClipboardOperation:
        ApplyClipboardToObjectName(item, kPrependClipboardMode);
        break;
    case kSetNameClipboardOperation:
        ApplyClipboardToObjectName(item, kSetNameClipboardMode);
        break;
    case kUppercaseNameOperation:
        UppercaseName(item);
        break;
    case kLowercaseNameOperation:
        LowercaseName(item);
        break;
    case kCapitalizeNameOperation:
        CapitalizeName(item);
        break;
    default:
        break;
    }
}

OSStatus HideExtension(const FSRef* item) {
    return changeExtensionVisibility(item, Visibility::Hide);
}

OSStatus ShowExtension(const FSRef* item) {
    return changeExtensionVisibility(item, Visibility::Show);
}

OSStatus ToggleExtension(const FSRef* item) {
    return changeExtensionVisibility(item, Visibility::Toggle);
}

bool ItemHasExtension(const FSRef* item) {
    LSItemInfoRecord info;
    return LSCopyItemInfoForRef(item, kLSRequestExtension, &info) == noErr &&
           info.extension.has_value();
}

std::optional<QString> NameWithClipboardText(const QString& name, int mode, const QString& text) {
    if (text.isEmpty())
        return std::nullopt;
    const auto extension = ExtensionStartIndex(name);
    switch (mode) {
    case kAppendClipboardMode:
        if (extension)
            return name.left(*extension - 1) + text + u'.' + name.mid(*extension);
        return name + text;
    case kPrependClipboardMode:
        return text + name;
    case kSetNameClipboardMode:
        return extension ? text + u'.' + name.mid(*extension) : text;
    default:
        return std::nullopt;
    }
}

void ApplyClipboardToObjectName(FSRef* item, int mode) {
    const auto text = ClipboardText(true);
    if (!text)
        return;
    const auto name = recordedName(item);
    if (!name)
        return;
    if (const auto newName = NameWithClipboardText(*name, mode, *text))
        SetObjectName(item, *newName);
}

void ChangeNameCase(FSRef* item, int mode) {
    const auto name = recordedName(item);
    if (!name)
        return;
    QString changed = *name;
    const QLocale locale = CFLocaleCopyCurrent();
    switch (mode) {
    case 1:
        CFStringUppercase(changed, locale);
        break;
    case 2:
        CFStringLowercase(changed, locale);
        break;
    case 3:
        CFStringCapitalize(changed, locale);
        break;
    default:
        return;
    }
    SetObjectName(item, changed);
}

void UppercaseName(FSRef* item) {
    ChangeNameCase(item, 1);
}

void LowercaseName(FSRef* item) {
    ChangeNameCase(item, 2);
}

void CapitalizeName(FSRef* item) {
    ChangeNameCase(item, 3);
}
