#include "platform/linux/LinuxServices.h"
#include "platform/linux/SelectionFile.h"
#include "platform/local/files/Aliases.h"
#include "platform/local/files/Files.h"

#include <dirent.h>

namespace platform::linuxdesk {

namespace {
// velmora-select writes in well under a second; after that the last complete selection counts.
constexpr int kMaxWaitsForWriter = 6;

// The entry of the folder `folder` (empty for the root) that is the item `identity` names.
std::optional<QByteArray> itemInFolder(const QByteArray& folder, const ItemIdentity& identity) {
    DIR* dir = opendir(folder.isEmpty() ? "/" : folder.constData());
    if (!dir)
        return std::nullopt;
    std::optional<QByteArray> found;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_ino != identity.inode)
            continue;
        const QByteArray candidate = folder + '/' + entry->d_name;
        if (ItemIdentityAt(candidate) == identity) {
            found = candidate;
            break;
        }
    }
    closedir(dir);
    return found;
}

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
    for (const QByteArray& path : followRenames(*paths))
        AEPutDesc(list, AECreateDesc(typeObjectSpecifier, path));
    return noErr;
}

std::vector<QByteArray> LinuxFinder::followRenames(std::vector<QByteArray> paths) {
    QHash<QByteArray, ItemIdentity> identities;
    bool renamed = false;
    for (QByteArray& path : paths) {
        auto identity = ItemIdentityAt(path);
        if (!identity) {
            const auto known = m_identities.constFind(path);
            if (known == m_identities.constEnd())
                continue;
            const auto found = itemInFolder(path.left(path.lastIndexOf('/')), *known);
            if (!found)
                continue;
            path = *found;
            identity = *known;
            renamed = true;
        }
        identities.insert(path, *identity);
    }
    m_identities = std::move(identities);
    if (renamed)
        writeSelectionFile(m_selectionFolder, paths, nullptr);
    return paths;
}

OSStatus LinuxFinder::getObjectAsAlias(const AEDesc& spec, AliasHandle* alias, AEIdleUPP) {
    // The selection's reading looked at every item to follow renames: that look makes the alias,
    // and resolving it looks again.
    if (const auto known = m_identities.constFind(spec.data); known != m_identities.constEnd()) {
        *alias = AliasForItem(spec.data, *known);
        return noErr;
    }
    return AliasForPathSpecifier(spec, alias);
}

OSStatus LinuxFinder::updateItemAlias(const AliasHandle&) {
    return noErr;
}

} // namespace platform::linuxdesk
