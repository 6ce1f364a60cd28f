#include "platform/linux/LinuxServices.h"
#include "platform/linux/SelectionFile.h"
#include "platform/local/Files.h"

namespace platform::linuxdesk {

namespace {
// velmora-select writes in well under a second; after that the last complete selection counts.
constexpr int kMaxWaitsForWriter = 6;
} // namespace

LinuxFinder::LinuxFinder(QByteArray selectionFolder)
    : m_selectionFolder(std::move(selectionFolder)) {}

OSStatus LinuxFinder::getSelection(AEIdleUPP idle, AEDescList* list) {
    for (int waits = 0;
         idle && waits < kMaxWaitsForWriter && selectionBeingWritten(m_selectionFolder); ++waits) {
        SInt32 sleepTicks = 0;
        RgnHandle mouseRegion = nullptr;
        if (idle(nullptr, &sleepTicks, &mouseRegion))
            break;
    }
    *list = AECreateList();
    // With no usable folder (no runtime, cache or home folder) there is no selection file; the
    // bare name would otherwise be looked for at the root of the file system.
    if (m_selectionFolder.isEmpty())
        return noErr;
    const auto paths =
        readSelectionFile(m_selectionFolder + QByteArrayLiteral("/finder-selection"));
    if (!paths)
        return noErr;
    for (const QByteArray& path : *paths)
        AEPutDesc(list, AECreateDesc(typeObjectSpecifier, path));
    return noErr;
}

OSStatus LinuxFinder::getObjectAsAlias(const AEDesc& spec, AliasHandle* alias, AEIdleUPP) {
    return AliasForPathSpecifier(spec, alias);
}

OSStatus LinuxFinder::updateItemAlias(const AliasHandle&) {
    return noErr;
}

} // namespace platform::linuxdesk
