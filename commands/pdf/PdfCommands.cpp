#include "commands/pdf/PdfCommands.h"

namespace {

const CommandRow kCombineFilesRows[] = {
    {.title = "Combine Files Into PDF",
     .toolTip = "Combine selected files into a PDF, autoconvertng files if necessary.",
     .image = "CombineFiles32.tif",
     .action = "selCombineFiles:",
     .condition = HasSelection,
     .separatorAfter = true},
};

} // namespace

std::span<const CommandRow> CombineFilesRows() {
    return kCombineFilesRows;
}
