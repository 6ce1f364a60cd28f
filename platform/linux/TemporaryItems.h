// The user's temporary-items folder: where Velmora keeps the files it makes for a moment (the
// PDF or archive a command hands to another application).
//
// It lies in the user's runtime folder, which is private and emptied at logout; without one, in
// the user's cache folder. Its name is Velmora's own, never a fixed name in the shared /tmp that
// another user could take first. It is made private (mode 0700) and refused when it is not:
// a symbolic link, not a folder, another user's, or open to group or others.
#pragma once

#include <QByteArray>

namespace platform::linuxdesk {

// "<runtimeDir>/velmora-temporary-items", or when runtimeDir is empty or relative,
// "<cacheHome>/velmora-temporary-items", or "<home>/.cache/velmora-temporary-items"; made when
// missing (the cache folder too). Empty when refused or when it cannot be made. The caller passes
// the values of XDG_RUNTIME_DIR, XDG_CACHE_HOME and HOME.
QByteArray temporaryItemsFolder(const QByteArray& runtimeDir, const QByteArray& cacheHome,
                                const QByteArray& home);

} // namespace platform::linuxdesk
