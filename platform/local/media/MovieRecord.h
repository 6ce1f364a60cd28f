// What a movie and a movie file are inside the movie toolbox: shared by its source files, seen by
// nothing outside platform/local.
#pragma once

#include "platform/local/media/MovieProperties.h"

#include <QByteArray>
#include <memory>
#include <optional>

extern "C" {
#include <libavformat/avformat.h>
}

struct MovieFileRecord {
    int fd = -1;
    QByteArray path;
};

// One FFmpeg demuxer over a movie's file, reading it with pread at a position of its own, so
// that several demuxers share one descriptor. It may read twice the file and a few megabytes
// more in its life: a damaged index that sends the demuxer back over the file again and again
// ends there instead of never.
struct MovieDemuxer {
    int fd = -1; // the movie's; not owned
    int64_t position = 0;
    int64_t bytesLeft = 0;
    AVIOContext* io = nullptr;
    AVFormatContext* format = nullptr;

    MovieDemuxer() = default;
    ~MovieDemuxer();
    MovieDemuxer(const MovieDemuxer&) = delete;
    MovieDemuxer& operator=(const MovieDemuxer&) = delete;
};

// Opens a demuxer over the file at `fd`: with `known`, that demuxer's format, else the one the
// content shows. An FFmpeg error code when it cannot.
int OpenMovieDemuxer(int fd, const AVInputFormat* known, MovieDemuxer* demuxer);

// A movie is probed once, before any of its packets is read: the stream information FFmpeg
// gathers by reading ahead is asked for at most once, and what the movie tells about itself is
// taken then and kept. Reading packets moves a demuxer through the file, changes its streams'
// discard flags and, in some containers (MPEG-TS), adds streams or changes their codecs; FFmpeg's
// stream information must not be gathered again on such a state. So the queries that read packets
// (the sample count, the poster) each read through a demuxer of their own, opened for them on the
// same file, and the movie's own demuxer is never read beyond its probe: what each query answers
// does not depend on which came first.
struct MovieRecord {
    int fd = -1;
    QByteArray path;
    MovieDemuxer demuxer;
    // avformat_find_stream_info has run on the movie's demuxer: where the movie was made, for a
    // container whose header names no stream, or in the probe.
    bool streamInfoRead = false;
    // What the probe found: the movie's properties, the stream of its pictures (or -1).
    std::optional<MovieProperties> properties;
    int videoStream = -1;
    // The sample count, once counted.
    std::optional<long> videoSamples;
};

// The stream of the movie's pictures: its first video stream that is not a cover picture, or -1.
int MovieVideoStream(const MovieRecord& movie);
// Its first sound stream, or -1.
int MovieSoundStream(const MovieRecord& movie);

// Probes the movie unless it was: reads its stream information where the container's header
// leaves the picture size to the stream, and keeps its properties and its picture stream.
void ProbeMovie(MovieRecord& movie);

// A demuxer of its own for reading the movie's packets, at the start of the file, reading only
// the stream `index` where the container names its streams up front. None when the file can no
// longer be opened so.
std::unique_ptr<MovieDemuxer> OpenMovieReader(const MovieRecord& movie, int index);
