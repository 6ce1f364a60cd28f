// The movie header ('mvhd') of a QuickTime or MPEG-4 file, which FFmpeg reads but does not pass
// on in full: the poster time and the modification time live only there.
//
// The atoms are walked with every size checked against the file's and the parent's bounds, at
// most a few thousand atoms, so a corrupt or hostile file gives no header rather than a long
// read.
#pragma once

#include <QtGlobal>
#include <optional>

struct QuickTimeMovieHeader {
    quint32 timeScale = 0;    // units a second
    quint64 posterTime = 0;   // in time-scale units from the start
    quint64 creationTime = 0; // seconds since 1904-01-01 00:00:00 UTC; 0: not recorded
    quint64 modificationTime = 0;
};

// The header of the file open at `fd`, read with pread so that the descriptor's offset is left
// alone; none when the file has no moov atom holding a well-formed mvhd.
std::optional<QuickTimeMovieHeader> ReadQuickTimeMovieHeader(int fd);

// Whether the file holds a track (a trak atom, wherever it stands) without a track header, or
// whose header numbers it 2^31 or more. FFmpeg's demuxer keeps such a track with a negative
// number, and then spends seconds on each fragment of a fragmented movie; a damaged file of a few
// hundred fragments would hold whoever opens it for many minutes.
bool HasTrackWithoutUsableHeader(int fd);

// Seconds from 1904-01-01 to 1970-01-01.
inline constexpr qint64 kQuickTimeEpochOffset = 2082844800;
