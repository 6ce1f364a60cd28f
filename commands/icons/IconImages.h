// "Make Images From Icons": a 512 x 512 PNG of each selected item's icon, written into a folder
// the user chooses without ever replacing a file there, and that folder opened afterwards. Also
// the choose-folder dialog and opening an item as a double click would.
#pragma once

#include "platform/types/MacTypes.h"

#include <QImage>
#include <optional>

// A picture buffer of width x height pixels: RGBA, 8 bits a component, alpha premultiplied,
// cleared to fully transparent. None when the memory cannot be had or a side is not positive.
std::optional<QImage> MyCreateBitmapContext(int width, int height);

// The icon of the item drawn into size x size pixels and written to `output` in the export type
// `fileType` at the highest quality; the written picture then becomes the output file's own
// custom icon. An .icns file (any letter case) is drawn from the icon family it holds.
void Icon2Image(FSRef* item, OSType fileType, int size, FSSpec* output);

// True, with the folder, when the user chooses one in the dialog showing `message`.
bool ChooseFolder(FSRef* chosen, const char* message);

// Opens the item with its default application; a folder opens in the file manager.
OSStatus LaunchFSRef(const FSRef* item);

// The menu's command.
void CreateImagesOfIconsOfSelection();
