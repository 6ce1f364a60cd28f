#include "platform/linux/TemporaryItems.h"

#include "platform/local/files/PrivateFolder.h"

#include <cerrno>
#include <sys/stat.h>

namespace platform::linuxdesk {

namespace {

constexpr char kFolderName[] = "velmora-temporary-items";

QByteArray joinPath(QByteArray folder, const char* name) {
    while (folder.endsWith('/'))
        folder.chop(1);
    return folder + '/' + name;
}

// mkdir -p for the cache folder, which the XDG rules say to make with mode 0700 when missing.
bool makeFolders(const QByteArray& folder) {
    for (qsizetype i = 1; i <= folder.size(); ++i) {
        if ((i < folder.size() && folder[i] != '/') || folder[i - 1] == '/')
            continue;
        if (::mkdir(folder.left(i).constData(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

} // namespace

QByteArray temporaryItemsFolder(const QByteArray& runtimeDir, const QByteArray& cacheHome,
                                const QByteArray& home) {
    // Relative values are invalid in the XDG base directory rules and must be ignored.
    QByteArray base;
    if (runtimeDir.startsWith('/'))
        base = runtimeDir;
    else if (cacheHome.startsWith('/'))
        base = cacheHome;
    else if (home.startsWith('/'))
        base = joinPath(home, ".cache");
    if (base.isEmpty() || base.contains('\0') || !makeFolders(base))
        return {};
    const auto folder = PrivateFolder::open(joinPath(base, kFolderName));
    return folder ? folder->path() : QByteArray();
}

} // namespace platform::linuxdesk
