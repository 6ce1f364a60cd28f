// The media sections of the menu: copying a picture or a movie's poster frame, and the movie
// report.
//
//   the sections' rows        CopyImageOrPosterFrameRows, GetMovieInfoRows
//   the actions' handlers     CopyImageOrPosterFrameOfSelection (ImageCopy.h),
//                             ShowMovieInfoOfSelection (MovieInfo.h)
//   beneath them              the exporter catalogue (Exporters.h), the report's texts
//                             (MovieInfoText.h)
#pragma once

#include "common/CommandRows.h"

// "Copy Image Or Movie Poster", with a picture or a movie selected.
std::span<const CommandRow> CopyImageOrPosterFrameRows();
// "Get Movie Info", with a movie selected.
std::span<const CommandRow> GetMovieInfoRows();
