// A picture of a file, to stand for it where its own content cannot be used: what it shows when
// it holds a picture of any format Qt reads (whatever its name says), and, asked for as an icon,
// the icon theme's icon for its type otherwise. Other files have no preview on this platform.
// Only a regular file's content is read (ReadOnlyFile.h); anything else has no preview.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

// A picture file larger than this is not read. Qt will not decode a picture of more than
// 256 MB (its allocation limit), and no picture format stores its pixels in more bytes than
// they decode to: a larger file holds no picture Qt could show, whatever else it holds.
inline constexpr qint64 kMaxPictureFileBytes = qint64(512) << 20;

// The preview fitted into `size`, its proportions kept; a picture smaller than that stays at
// its own size. None when the file has no preview.
std::optional<QImage> ImageWithPreviewOfFileAtPath(const QString& path, const QSize& size,
                                                   bool asIcon);
