// Movies: files the movie toolbox can open, built on FFmpeg's demuxers.
//
// A movie is a file that FFmpeg opens as a container of audio or video. FFmpeg also opens
// still images and text files through demuxers of its own (one per image format, and "tty"
// for text); those are not movies here, nor is a container with no audio or video stream.
#pragma once

#include "platform/types/MacTypes.h"

#include <QImage>
#include <memory>
#include <optional>

struct MovieFileRecord;
struct MovieRecord;
struct MovieFileCloser {
    void operator()(MovieFileRecord* file) const;
};
struct MovieDisposer {
    void operator()(MovieRecord* movie) const;
};
using MovieFile = std::unique_ptr<MovieFileRecord, MovieFileCloser>;
using Movie = std::unique_ptr<MovieRecord, MovieDisposer>;

enum : SInt16 { newMovieActive = 1 << 0 };
enum : SInt8 { fsRdPerm = 1 };

// Starts and stops the toolbox: FFmpeg's own log lines are silenced while it runs, since the
// probing of every selected file would otherwise fill the terminal.
OSErr EnterMovies();
void ExitMovies();

// Opens the file for reading; fnfErr when it is not a readable regular file.
OSErr OpenMovieFile(const FSSpec* spec, MovieFile* file, SInt8 permission);
// Makes a movie from an open movie file; cantFindHandler when the file is not a movie.
// The movie keeps its own access to the file, so the movie file may be closed at once.
OSErr NewMovieFromFile(Movie* movie, const MovieFile& file, SInt16 newMovieFlags);

// The movie's poster frame: the frame at the poster time where the container records one
// (QuickTime's movie header), else the first video frame. Decoded at the frame's size and
// converted once, straight into the image. None for a movie without video or whose frames
// cannot be decoded.
std::optional<QImage> GetMoviePosterImage(const Movie& movie);
