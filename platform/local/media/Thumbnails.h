// Thumbnails as the desktop shares them (the freedesktop Thumbnail Managing Standard), so that a
// picture decoded once by Velmora or by a file manager is not decoded again by the other.
//
// The "normal" thumbnail of a file is a PNG of at most 128 x 128 in
// <cache>/thumbnails/normal/, named by the MD5 of the file's URI, and holds the URI and the
// file's modification time (Thumb::URI, Thumb::MTime); it stands for the file only while both
// match. A missing or stale one is made from the file, decoded at the size it needs, and written
// the way the standard asks: to a temporary file in the folder, mode 0600, renamed into place.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

namespace platform {

// The URI a thumbnail is known by: "file://" and the path with every byte percent-encoded but
// letters, digits and "!$&'()*+,-./:=@_~", which is how GLib writes it and so how file managers
// name their thumbnails.
QByteArray ThumbnailUri(const QByteArray& absolutePath);

// The normal thumbnail of the regular file at the absolute `path`, from `cacheHome`'s
// thumbnails when a fresh one is there, else made and stored; none when the path names no
// regular file or no picture. A thumbnail that cannot be stored is still given.
std::optional<QImage> NormalThumbnail(const QString& path, const QString& cacheHome);

} // namespace platform
