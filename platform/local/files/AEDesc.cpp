#include "platform/local/files/AEDesc.h"

#include "platform/local/files/Aliases.h"
#include "platform/local/files/FileUri.h"
#include "platform/local/files/Files.h"

#include <cstring>

AEDesc AECreateDesc(DescType type, const QByteArray& data) {
    return AEDesc{type, data, {}};
}

AEDesc AECreateFSRefDesc(const FSRef& ref) {
    return AECreateDesc(typeFSRef,
                        QByteArray(reinterpret_cast<const char*>(ref.hidden), sizeof ref.hidden));
}

AEDescList AECreateList() {
    return AEDesc{typeAEList, {}, {}};
}

void AEPutDesc(AEDescList* list, const AEDesc& item) {
    if (list && list->descriptorType == typeAEList)
        list->items.append(item);
}

OSStatus AECountItems(const AEDescList* list, long* count) {
    if (!list || !count || list->descriptorType != typeAEList)
        return paramErr;
    *count = long(list->items.size());
    return noErr;
}

OSStatus AEGetNthDesc(const AEDescList* list, long index, DescType desiredType, AEDesc* result) {
    if (!list || !result || list->descriptorType != typeAEList)
        return paramErr;
    if (index < 1 || index > long(list->items.size()))
        return errAEDescNotFound;
    const AEDesc& item = list->items.at(index - 1);
    if (desiredType == typeWildCard) {
        *result = item;
        return noErr;
    }
    return AECoerceDesc(&item, desiredType, result);
}

OSStatus AECoerceDesc(const AEDesc* desc, DescType toType, AEDesc* result) {
    if (!desc || !result)
        return paramErr;
    if (desc->descriptorType == toType) {
        *result = *desc;
        return noErr;
    }
    if (desc->descriptorType == FOUR_CHAR_CODE("utxt") && toType == FOUR_CHAR_CODE("utf8")) {
        if (desc->data.size() % 2 != 0)
            return errAECoercionFail;
        const QString text(reinterpret_cast<const QChar*>(desc->data.constData()),
                           desc->data.size() / 2);
        *result = AECreateDesc(toType, text.toUtf8());
        return noErr;
    }
    if (toType != typeFSRef)
        return errAECoercionFail;
    FSRef ref;
    if (desc->descriptorType == typeAlias) {
        Boolean changed = false;
        if (FSResolveAliasWithMountFlags(nullptr, desc->data, &ref, &changed,
                                         kResolveAliasFileNoUI) != noErr)
            return errAECoercionFail;
        *result = AECreateFSRefDesc(ref);
        return noErr;
    }
    if (desc->descriptorType == typeFileURL) {
        auto path = platform::decodeFileUri(desc->data);
        if (!path || FSPathMakeRef(*path, &ref) != noErr)
            return errAECoercionFail;
        *result = AECreateFSRefDesc(ref);
        return noErr;
    }
    return errAECoercionFail;
}

void AEDisposeDesc(AEDesc* desc) {
    if (desc)
        *desc = AEDesc{};
}
