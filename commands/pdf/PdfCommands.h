// The PDF section of the menu: combining the selected files into one document.
//
//   the section's row           CombineFilesRows
//   the action's handler        CombineFilesOfSelection (CombineFiles.h)
//   beneath it                  the conversions (PdfConversions.h), the RTF reader (RtfReader.h),
//                               the file types (FileTypes.h)
#pragma once

#include "common/CommandRows.h"

// "Combine Files Into PDF".
std::span<const CommandRow> CombineFilesRows();
