// The selection file: how Linux file managers tell Velmora what the user has selected.
//
// File managers offer no way to ask them for their selection, so each one gets an action that
// runs velmora-select, which writes the selected items here; Velmora reads the file every time
// its menu opens. The file holds one file:// URI a line, in selection order, and is always
// replaced whole (temporary file, fsync, rename), so a reader never sees half a selection.
//
// Paths are raw bytes: a Linux file name may be any bytes but NUL and '/', and need not be
// valid UTF-8, so nothing here passes a path through QString.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace platform::linuxdesk {

// Where the selection lives: "<runtimeDir>/velmora", or when runtimeDir is empty or relative,
// "<cacheHome>/velmora", or "<home>/.cache/velmora". Empty when none of them is usable. The
// caller passes the values of XDG_RUNTIME_DIR, XDG_CACHE_HOME and HOME; nothing here reads the
// environment.
QByteArray selectionFolder(const QByteArray& runtimeDir, const QByteArray& cacheHome,
                           const QByteArray& home);
QByteArray selectionFilePath(const QByteArray& runtimeDir, const QByteArray& cacheHome,
                             const QByteArray& home);

// The paths of the valid lines, in order; blank lines, '#' comments and garbage are skipped.
std::vector<QByteArray> parseSelection(const QByteArray& contents);

// Larger selection files are refused rather than read in part.
inline constexpr qint64 kMaxSelectionFileSize = 16 * 1024 * 1024;

// The selection in the file at path; nullopt when it is missing, unreadable, not a regular
// file (a FIFO or device planted there is never waited on), a symlink, another user's, or too
// large, and when its folder is one the writer would refuse (a symlink, another user's) or is
// open to other users.
std::optional<std::vector<QByteArray>> readSelectionFile(const QByteArray& path);

// Replaces the selection file in folder with absolutePaths (empty clears the selection).
// Creates folder with mode 0700 when missing and refuses one that is a symlink or belongs to
// another user. On failure returns false, sets *error (when not null), and leaves the previous
// selection file as it was. Writers exclude each other with an exclusive flock on
// "<folder>/finder-selection.lock".
bool writeSelectionFile(const QByteArray& folder, const std::vector<QByteArray>& absolutePaths,
                        QString* error);

// True while another process holds the write lock, so a reader can wait briefly for the
// selection that is being written.
bool selectionBeingWritten(const QByteArray& folder);

} // namespace platform::linuxdesk
