#include "app/SelectionResolution.h"

#include "platform/Aliases.h"
#include "platform/Finder.h"

#include <cstring>

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
