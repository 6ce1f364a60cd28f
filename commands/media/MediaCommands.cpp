#include "commands/media/MediaCommands.h"

namespace {

bool selectionHasImageOrMovie(const MenuContext& context) {
    return context.hasSelection && (context.selectionHasImage || context.selectionHasMovie);
}

bool selectionHasMovie(const MenuContext& context) {
    return context.hasSelection && context.selectionHasMovie;
}

const CommandRow kCopyImageOrPosterFrameRows[] = {
    {.title = "Copy Image Or Movie Poster",
     .toolTip = "Copy the graphic image or movie poster frame of a selected item to the clipboard.",
     .image = "ImageCopy32.tif",
     .action = "selCopyImageOrPosterFrame:",
     .condition = selectionHasImageOrMovie,
     .separatorAfter = true},
};

const CommandRow kGetMovieInfoRows[] = {
    {.title = "Get Movie Info",
     .toolTip = "Show movie info for each selected item, if available.",
     .image = "MovieInfo32.tif",
     .action = "selGetMovieInfo:",
     .condition = selectionHasMovie,
     .separatorAfter = true},
};

} // namespace

std::span<const CommandRow> CopyImageOrPosterFrameRows() {
    return kCopyImageOrPosterFrameRows;
}

std::span<const CommandRow> GetMovieInfoRows() {
    return kGetMovieInfoRows;
}
