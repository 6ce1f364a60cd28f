// Small media files made on the spot for tests and benchmarks.
#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <vector>

namespace fixtures {

// A PDF with one page of each size (in points), page n showing the text "<label> page n".
bool WritePdf(const QString& path, const std::vector<QSizeF>& pages, const QString& label);
// A short QuickTime movie (MPEG-4 video, five frames of 64 x 48) at `path`.
bool WriteMovie(const QString& path);
// A PNG picture of the given size.
bool WritePng(const QString& path, int width, int height);
// The picture encoded as PNG.
QByteArray PngBytes(const QImage& image);
// A PNG whose header claims the given size and that holds no pixel data.
bool WritePngHeaderOnly(const QString& path, quint32 width, quint32 height);
bool WriteText(const QString& path, const QByteArray& text);
// A movie made by the ffmpeg program from `arguments` (its inputs and codecs), written to
// `path`, which comes last on its command line.
bool MakeMovie(const QString& path, const QStringList& arguments);
// Sets the poster time of a QuickTime movie's header to `seconds` from the start.
bool SetPosterTime(const QString& path, quint32 seconds);
// The same at a path given as raw bytes, which need not be UTF-8.
bool WriteText(const QByteArray& path, const QByteArray& text);

} // namespace fixtures
