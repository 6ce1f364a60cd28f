// The browsers section of the menu: copying the title of a browser's front page and pasting it
// into the front application.
#pragma once

#include "common/CommandRows.h"

// "Copy and Paste Title", with one item for each browser installed, in a fixed order.
std::span<const CommandRow> BrowsersRows();
