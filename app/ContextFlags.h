// What the current rebuild of the menu found out about the context. Each flag is reset and
// recomputed by its probe during every rebuild, before anything reads it.
#pragma once

extern bool gFinderSelectionHasImage;
extern bool gFinderSelectionHasMovie;
extern bool gFinderSelectionHasWebloc;
extern bool gClipboardHasText;
extern bool gClipboardHasImage;
