// An exclusive lock on a lock file, held for as long as the object lives, for the stores that
// several Velmora processes (and the tools that share the address book) change in turn.
//
// Waiting is bounded: a lock another program holds for longer than the limit is a failure the
// caller reports, never a menu that stops answering. Whatever stands at the lock file's path and
// cannot be a lock file (a dangling link, a folder) is moved aside, under a name of its own
// beside it, instead of leaving every later change unsaved.
#pragma once

#include "platform/local/files/FileDescriptor.h"

#include <QString>
#include <chrono>
#include <optional>

namespace platform {

inline constexpr std::chrono::milliseconds kLockWaitLimit{3000};

class FileLock {
public:
    // The lock of the file at `path`, made when missing; none when it could not be had within
    // `limit`, `error` (when given) then saying why.
    static std::optional<FileLock> acquire(const QString& path,
                                           std::chrono::milliseconds limit = kLockWaitLimit,
                                           QString* error = nullptr);

private:
    explicit FileLock(FileDescriptor fd) : m_fd(std::move(fd)) {}
    FileDescriptor m_fd;
};

// A name beside `path` that nothing has yet: `path` + `suffix`, else with "-2", "-3", ... after
// it; `path` is renamed to it without replacing anything. False when it could not be moved.
bool MoveAside(const QString& path, const QString& suffix);

} // namespace platform
