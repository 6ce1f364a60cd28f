// The "Filenames" section of the menu and its action.
#pragma once

#include "common/CommandRows.h"

class QAction;

// "Filenames": the nine operations in threes (extensions, the clipboard, case).
std::span<const CommandRow> FilenamesRows();

// Applies the operation the chosen item's tool tip names to the selection asked for anew.
void ApplyChosenFilenameOperation(QAction* sender);
