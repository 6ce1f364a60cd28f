// Whether a file may be a picture or a movie at all, told cheaply, so that the picture readers
// and the movie demuxers, which open and parse a file, are asked only about the files that may
// be one: a thousand selected text files cost a thousand short reads, not two thousand files
// parsed by every reader.
//
// A name whose shared-mime-info type is a picture, a sound or a movie may be either: content
// decides, as the readers themselves decide. Any other name (or none) decides nothing either, since
// a movie renamed "clip.txt" is still a movie to the readers: its first bytes are read, and only a
// file that starts as text (or is empty, or no regular file) is taken to be neither. Text that
// pictures are written in (SVG, XPM, XBM, plain PBM/PGM/PPM) and playlists the movie toolbox
// follows keep their kind.
#pragma once

#include <QString>

struct MediaPossibility {
    bool picture = false;
    bool movie = false; // a sound file is one too, as the movie toolbox opens it
};

// Reads at most the first few KiB, and only of a regular file (never a FIFO or a device).
MediaPossibility MediaPossibilityOfFile(const QString& path);
