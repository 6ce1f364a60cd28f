// Apple icon family files (.icns): the pictures of one icon, each drawn for its own pixel size.
//
// An icon family is how macOS keeps the icon of an application, a document type or a folder: an
// application bundle carries its icons as .icns files in Contents/Resources, and iconutil and
// icon editors write them. The file is a list of typed elements: PNG or JPEG 2000 images for
// the large and Retina sizes, run-length packed 24-bit pixels with a separate 8-bit mask for
// the older small ones, packed ARGB for a few, and entries that are not pictures at all (a
// table of contents, a version, a dark-mode variant), which are passed over.
//
// The bytes come from anywhere a user points, so every length is checked against what holds
// it, pixel sizes come from the element's type except for encoded images, whose own claim is
// refused above 2048 pixels a side before anything is decoded, and one family yields at most
// a fixed number of pixels in all.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

// The images of an icon family file's bytes, in the order of their elements, each at its own
// pixel size, in ARGB32 premultiplied; the first element of each type counts, later ones of
// the same type are passed over. Empty when the bytes are not an icon family (a wrong tag, a
// header or element length that does not fit) or hold no image that decodes; an image element
// that does not decode is left out and the others are kept.
std::vector<QImage> ReadIconFamily(const QByteArray& bytes);

// The same for the regular file at `path`, opened without blocking and read only when it holds
// at most 64 MiB; empty on any failure.
std::vector<QImage> ReadIconFamilyFile(const QString& path);
