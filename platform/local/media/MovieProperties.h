// What a movie tells about itself, read from FFmpeg's view of the container and, for what
// FFmpeg does not pass on, from QuickTime's movie header.
//
// Each property is missing when the container does not record it.
#pragma once

#include "platform/local/media/Movies.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

struct MovieTrack {
    enum class Kind { Video, Sound, Other };
    Kind kind = Kind::Other;
    QString codecName;     // FFmpeg's long name of the codec, "H.264 / AVC / ..."
    int sampleRate = 0;    // sound: whole hertz
    int channels = 0;      // sound
    QString channelLayout; // sound: "stereo", "5.1", ...
};

struct MovieProperties {
    std::optional<QString> copyright; // the "copyright" tag
    std::optional<QString> title;     // the "title" tag
    QByteArray path;                  // the file's path
    qint64 durationMicroseconds = 0;  // 0 when unknown
    // Dates as "2026-12-05 06:52:44 +0000", or the tag's own text when it is not a date.
    std::optional<QString> creationTime;     // the "creation_time" tag
    std::optional<QString> modificationTime; // QuickTime's movie header
    std::optional<QSize> naturalSize;        // the first video track's, its sample aspect applied
    std::optional<qint64> dataSize;          // bytes of the file
    std::vector<MovieTrack> tracks;          // every stream, in order
};

MovieProperties GetMovieProperties(const Movie& movie);

// The number of pictures of the movie's video: the container's own count where its index keeps
// one, else counted by reading the video's packets (never by decoding them). 0 without video.
long CountMovieVideoSamples(const Movie& movie);
