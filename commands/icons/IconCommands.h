// The icon sections of the menu: custom icons from the clipboard and from web locations, their
// removal, and pictures of icons.
#pragma once

#include "common/CommandRows.h"

// "Set Icons From Clipboard" and "Add Clipboard To Icon" with a picture on the clipboard, "Set
// Icons From Web Location" with a web location selected, and "Remove Custom Icons".
std::span<const CommandRow> CustomIconsRows();
// "Make Images From Icons".
std::span<const CommandRow> CreateImagesOfIconsRows();
