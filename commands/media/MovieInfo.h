// "Get Movie Info": a report of every selected movie, line by line, in the text window.
//
// What each line reads, from FFmpeg's view of the file (platform/local/media/MovieProperties.h):
//   Copyright          the container's "copyright" tag
//   Display name       its "title" tag
//   URL                the file's file:// URL, every byte outside the unreserved ones escaped
//   Frame count        the video's sample count from the container's index, else its packets
//   Duration           the container's duration, whole seconds
//   Created            the "creation_time" tag
//   Modifed            QuickTime's movie header modification time (only QuickTime and MPEG-4
//                      files record one)
//   Width, Height      the first video track's size, its sample aspect ratio applied
//   Size               the file's size in bytes
//   Codec Name         FFmpeg's long name of the first video track's codec; Nbr. Tracks counts
//                      every stream
//   Sound              the first sound track's codec, sample rate and channel layout; its rate
//                      in whole hertz (a rate above 65,535 Hz is written as it is, not cut to
//                      16 bits) and its channel count
// Cover pictures that containers keep as video streams are not video here.
#pragma once

#include "platform/local/media/Movies.h"
#include "platform/types/MacTypes.h"

#include <QString>
#include <optional>

class TextWindow;

// One movie's block of the report; `position` is its place in the selection, from 1.
QString GetMovieInfoForFSRef(const FSRef* item, long position);

long GetFrameCount(const Movie& movie);
// The first video track's codec, with the number of tracks of every kind in `trackCount`.
std::optional<QString> CodecName(const Movie& movie, long* trackCount);
// The first sound track's description, with its rate and channels; those are left alone when
// the movie has no sound.
std::optional<QString> SoundName(const Movie& movie, long* rate, long* channels);

// The command: the report of every selected movie, shown in `window`.
void ShowMovieInfoOfSelection(TextWindow& window);
