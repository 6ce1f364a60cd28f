// The media sections of the menu: copying a picture or a movie's poster frame, and the movie
// report.
#pragma once

#include "common/CommandRows.h"

// "Copy Image Or Movie Poster", with a picture or a movie selected.
std::span<const CommandRow> CopyImageOrPosterFrameRows();
// "Get Movie Info", with a movie selected.
std::span<const CommandRow> GetMovieInfoRows();
