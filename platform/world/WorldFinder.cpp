#include "platform/local/files/FileUri.h"
#include "platform/local/files/Files.h"
#include "platform/world/World.h"
#include "platform/world/WorldServices.h"

namespace platform::world {

namespace {

AEDesc descriptorFor(const SelectionElement& element) {
    switch (element.form) {
    case SelectionElement::Form::Object:
        return AECreateDesc(typeObjectSpecifier, element.path);
    case SelectionElement::Form::File: {
        FSRef ref{};
        FSPathMakeRef(element.path, &ref);
        return AECreateFSRefDesc(ref);
    }
    case SelectionElement::Form::Other:
        return AECreateDesc(typeFileURL, encodeFileUri(element.path));
    case SelectionElement::Form::Broken:
        break;
    }
    return AECreateDesc(typeObjectSpecifier, QByteArray());
}

} // namespace

OSStatus WorldFinder::getSelection(AEIdleUPP, AEDescList* list) {
    if (!m_world.finder.running)
        return procNotFound;
    *list = AECreateList();
    for (const SelectionElement& element : m_world.finder.selection)
        AEPutDesc(list, descriptorFor(element));
    return noErr;
}

OSStatus WorldFinder::getObjectAsAlias(const AEDesc& spec, AliasHandle* alias, AEIdleUPP) {
    return AliasForPathSpecifier(spec, alias);
}

OSStatus WorldFinder::updateItemAlias(const AliasHandle& alias) {
    FSRef ref;
    Boolean changed = false;
    if (FSResolveAliasWithMountFlags(nullptr, alias, &ref, &changed, kResolveAliasFileNoUI) ==
        noErr) {
        QByteArray path;
        FSRefCopyPath(&ref, &path);
        m_world.record(events::FinderUpdate{QString::fromUtf8(path)});
    }
    return noErr;
}

} // namespace platform::world
