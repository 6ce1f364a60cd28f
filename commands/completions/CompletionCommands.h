// The completions section of the menu: the word completions of the clipboard text.
//
//   the section's row         CompletionsRows
//   the action's handler      ShowCompletions (Completions.h)
#pragma once

#include "common/CommandRows.h"

// "List Completions", whenever the clipboard holds text.
std::span<const CommandRow> CompletionsRows();
