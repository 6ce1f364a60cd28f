// Small media files made on the spot for tests and benchmarks.
#pragma once

#include <QString>

namespace fixtures {

// A short QuickTime movie (MPEG-4 video, five frames of 64 x 48) at `path`.
bool WriteMovie(const QString& path);
// A PNG picture of the given size.
bool WritePng(const QString& path, int width, int height);
// A PNG whose header claims the given size and that holds no pixel data.
bool WritePngHeaderOnly(const QString& path, quint32 width, quint32 height);
bool WriteText(const QString& path, const QByteArray& text);
// The same at a path given as raw bytes, which need not be UTF-8.
bool WriteText(const QByteArray& path, const QByteArray& text);

} // namespace fixtures
