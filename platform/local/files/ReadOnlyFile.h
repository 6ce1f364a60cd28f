// Opening a user's file for reading without being caught by what may stand at its path.
//
// A FIFO or a device named like a document would block or misbehave when read; only regular
// files are opened, and the open itself never blocks. Every reader of a path that a user, a
// setting or a selection names goes through here, with a cap on the size it accepts.
#pragma once

#include <QByteArray>
#include <QString>
#include <limits>
#include <memory>
#include <optional>

class QFile;
struct stat;

inline constexpr qint64 kAnySize = std::numeric_limits<qint64>::max();

// A descriptor open for reading on the regular file at `path` (symbolic links followed) that
// holds at most `maxSize` bytes, or -1. `status` (when given) gets what fstat said of it.
int OpenRegularFileForReading(const QByteArray& path, qint64 maxSize = kAnySize,
                              struct stat* status = nullptr);

// The regular file at `path`, of at most `maxSize` bytes, open for reading, or none.
std::unique_ptr<QFile> OpenRegularFile(const QString& path, qint64 maxSize = kAnySize);

// The whole content of the regular file at `path`; none when the path names anything else,
// cannot be read, or holds more than `maxSize` bytes.
std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxSize);

// A folder whose files are read only from inside it: a file is reached through the folder's
// own entries, and a path that leads out of it, by "..", by an absolute symbolic link or by a
// link to anything outside, is refused by the kernel (openat2's RESOLVE_BENEATH), whatever
// happens to the folder's entries meanwhile. A kernel older than Linux 5.6 opens nothing.
class ConfinedFolder {
public:
    explicit ConfinedFolder(const QString& folder);
    ~ConfinedFolder();
    ConfinedFolder(const ConfinedFolder&) = delete;
    ConfinedFolder& operator=(const ConfinedFolder&) = delete;

    // The whole content of the regular file at `relativePath` inside the folder, of at most
    // `maxSize` bytes; none otherwise.
    std::optional<QByteArray> read(const QString& relativePath, qint64 maxSize) const;

private:
    int m_fd = -1;
};
