// A picture of a file, to stand for it where its own content cannot be used: what it shows when
// it holds a picture of any format Qt reads (whatever its name says), and, asked for as an icon,
// the icon theme's icon for its type otherwise. Other files have no preview on this platform.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

// The preview fitted into `size`, its proportions kept; a picture smaller than that stays at
// its own size. None when the file has no preview.
std::optional<QImage> ImageWithPreviewOfFileAtPath(const QString& path, const QSize& size,
                                                   bool asIcon);
