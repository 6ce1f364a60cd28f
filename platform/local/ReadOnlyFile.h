// Opening a user's file for reading without being caught by what may stand at its path.
//
// A FIFO or a device named like a document would block or misbehave when read; only regular
// files are opened, and the open itself never blocks. Every reader of a path that a user, a
// setting or a selection names goes through here.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

class QFile;

// A descriptor open for reading on the regular file at `path` (symbolic links followed), or -1.
int OpenRegularFileForReading(const QByteArray& path);

// The regular file at `path` open for reading, or none.
std::unique_ptr<QFile> OpenRegularFile(const QString& path);

// The whole content of the regular file at `path`; none when the path names anything else,
// cannot be read, or holds more than `maxSize` bytes.
std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxSize);
