// The picture that bytes from outside hold, read by Qt's image readers and their plugins by
// what the bytes are, whatever a name or a server says they are.
//
// A file may hold several pictures (an .ico carries one per size; a TIFF, one a page); the
// largest by pixel area is the one wanted. Every picture's pixel size is known before it is
// decoded and refused beyond a fixed side, so a few bytes claiming a huge picture never
// allocate its pixels.
#pragma once

#include <QByteArray>
#include <QImage>
#include <optional>

// The largest side a decoded picture may have: an icon or a site's logo is far smaller, and a
// 4096 x 4096 picture still takes only 64 MiB at four bytes a pixel.
inline constexpr int kMaxDecodedSide = 4096;

// The largest picture of the bytes whose sides are at most kMaxDecodedSide; ties go to the
// first. None when no reader recognises the bytes, when no picture of theirs tells its size
// before decoding, or when none within the bound decodes.
std::optional<QImage> LargestImageInData(const QByteArray& data);
