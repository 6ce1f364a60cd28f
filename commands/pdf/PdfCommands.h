// The PDF section of the menu: combining the selected files into one document.
#pragma once

#include "common/CommandRows.h"

// "Combine Files Into PDF".
std::span<const CommandRow> CombineFilesRows();
