#include "app/ContextFlags.h"

bool gFinderSelectionHasImage = false;
bool gFinderSelectionHasMovie = false;
bool gFinderSelectionHasWebloc = false;
bool gClipboardHasText = false;
bool gClipboardHasImage = false;
