// What a movie and a movie file are inside the movie toolbox: shared by its source files, seen by
// nothing outside platform/local.
#pragma once

#include <QByteArray>

extern "C" {
#include <libavformat/avformat.h>
}

struct MovieFileRecord {
    int fd = -1;
    QByteArray path;
};

struct MovieRecord {
    int fd = -1;
    QByteArray path;
    AVIOContext* io = nullptr;
    AVFormatContext* format = nullptr;
};

// The stream of the movie's pictures: its first video stream that is not a cover picture, or -1.
int MovieVideoStream(const MovieRecord& movie);
// Its first sound stream, or -1.
int MovieSoundStream(const MovieRecord& movie);
