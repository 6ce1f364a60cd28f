#include "common/SelectionResolution.h"

#include "common/AlertMessages.h"
#include "common/ItemPaths.h"
#include "platform/local/files/Aliases.h"
#include "platform/services/Finder.h"

#include <cstring>

std::optional<AEDescList> CurrentFinderSelection(long* count) {
    AEDescList selection;
    if (MoreFEGetSelection(MyAEIdleProc, &selection) != noErr ||
        selection.descriptorType != typeAEList || AECountItems(&selection, count) != noErr ||
        *count <= 0)
        return std::nullopt;
    return selection;
}

std::optional<AEDescList> SelectionForCommand(long* count) {
    AEDescList selection;
    if (MoreFEGetSelection(MyAEIdleProc, &selection) != noErr ||
        selection.descriptorType != typeAEList || AECountItems(&selection, count) != noErr)
        return std::nullopt;
    if (*count < 1) {
        ShowAlertMessage(QStringLiteral("The Finder has no active selection."), std::nullopt);
        return std::nullopt;
    }
    return selection;
}

bool ResolveSelectionItem(const AEDescList& selection, long index, FSRef* ref) {
    AEDesc item;
    if (AEGetNthDesc(&selection, index, typeWildCard, &item) != noErr)
        return false;
    bool resolved = false;
    if (item.descriptorType == typeObjectSpecifier) {
        AliasHandle alias;
        Boolean wasChanged = false;
        resolved = MoreFEGetObjectAsAlias(&item, &alias, MyAEIdleProc) == noErr &&
                   FSResolveAliasWithMountFlags(nullptr, alias, ref, &wasChanged,
                                                kResolveAliasFileNoUI) == noErr;
    } else {
        AEDesc fileRef;
        if (AECoerceDesc(&item, typeFSRef, &fileRef) == noErr &&
            fileRef.data.size() == qsizetype(sizeof ref->hidden)) {
            std::memcpy(ref->hidden, fileRef.data.constData(), sizeof ref->hidden);
            resolved = true;
        }
        AEDisposeDesc(&fileRef);
    }
    AEDisposeDesc(&item);
    return resolved;
}

QStringList FinderSelectionPaths() {
    QStringList paths;
    long count = 0;
    const auto selection = CurrentFinderSelection(&count);
    if (!selection)
        return paths;
    for (long n = 1; n <= count; ++n) {
        FSRef ref;
        if (!ResolveSelectionItem(*selection, n, &ref))
            continue;
        if (auto path = stringWithFSRef(&ref))
            paths.append(*path);
    }
    return paths;
}
