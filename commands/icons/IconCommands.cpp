#include "commands/icons/IconCommands.h"

namespace {

bool selectionAndClipboardImage(const MenuContext& context) {
    return context.hasSelection && context.clipboardHasImage;
}

bool selectionHasWebloc(const MenuContext& context) {
    return context.hasSelection && context.selectionHasWebloc;
}

// One group: the last row is always there, and the group's separator follows it.
const CommandRow kCustomIconsRows[] = {
    {.title = "Set Icons From Clipboard",
     .toolTip = "Set icons of selected items in the Finder from the clipboard image.",
     .image = "ClipToIcon32.tif",
     .action = "selClipToIcon:",
     .condition = selectionAndClipboardImage},
    {.title = "Add Clipboard To Icon",
     .toolTip = "Overlay the scaled clipboard image on the icons of selected items in the Finder. "
                "Note that you can copy file icons to the clipboard using the Finder's contextual "
                "menu.",
     .image = "AddClipToIcon32.tif",
     .action = "selAddClipToIcon:",
     .condition = selectionAndClipboardImage},
    {.title = "Set Icons From Web Location",
     .toolTip = "Add favicon to selected web location items in the Finder.",
     .image = "AddWebIcon32.tif",
     .action = "selAddWebIcon:",
     .condition = selectionHasWebloc},
    {.title = "Remove Custom Icons",
     .toolTip = "Remove custom icons of selected items in the Finder.",
     .image = "RemoveCustomIcons32.tif",
     .action = "selRemoveCustomIcon:",
     .condition = HasSelection,
     .separatorAfter = true},
};

const CommandRow kCreateImagesOfIconsRows[] = {
    {.title = "Make Images From Icons",
     .toolTip = "Create images of the icons of one or more selected Finder items. The generated "
                "size is always 512x512.",
     .image = "Icon2Image32.tif",
     .action = "selCreateImagesOfIcons:",
     .condition = HasSelection,
     .separatorAfter = true},
};

} // namespace

std::span<const CommandRow> CustomIconsRows() {
    return kCustomIconsRows;
}

std::span<const CommandRow> CreateImagesOfIconsRows() {
    return kCreateImagesOfIconsRows;
}
