// "Copy Image Or Movie Poster": the picture of each selected graphics file, or the poster frame
// of each selected movie, put on the clipboard as PNG, one after the other.
//
// Pictures are read by Qt's readers at their own size, their EXIF orientation applied; poster
// frames come from FFmpeg (platform/local/media/Movies.h).
#pragma once

#include "platform/types/MacTypes.h"

#include <QString>

// Renders the file with the exporter for `extension` and makes it the clipboard's one item,
// under the type identifier `flavor` alone; "Ping" sounds. False, with the clipboard possibly
// cleared, when any step fails.
bool DoImageCopy(const FSRef* item, const QString& extension, const QString& flavor);

// The command: every selected item in turn, each failure its own alert.
void CopyImageOrPosterFrameOfSelection();
