// Opening a user's file for reading without being caught by what may stand at its path.
//
// A FIFO or a device named like a document would block or misbehave when read; only regular
// files are opened, and the open itself never blocks.
#pragma once

#include <QByteArray>

// A descriptor open for reading on the regular file at `path` (symbolic links followed), or -1.
int OpenRegularFileForReading(const QByteArray& path);
