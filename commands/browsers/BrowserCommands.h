// The browsers section of the menu: copying the title of a browser's front page and pasting it
// into the front application.
//
//   the browser table        kBrowsers: name, creator code and title script of each, in menu
//                            order
//   the row                  BrowsersRows: "Copy and Paste Title", one item a browser installed
//   the action               SelectBrowserItem: the title to the clipboard, then pasted
#pragma once

#include "common/CommandRows.h"
#include "platform/types/MacTypes.h"

#include <span>

class QAction;

struct Browser {
    const char* name;
    OSType creator;
    const char* titleScript;
};

std::span<const Browser> Browsers();

// "Copy and Paste Title", with one item for each browser installed, in the table's order.
std::span<const CommandRow> BrowsersRows();

// The item's title names the browser. Its front page's title goes to the clipboard and is
// pasted into the front application; when the browser is not running or has no window, the
// alert says so and the clipboard is left alone. A title that is no browser's does nothing.
void SelectBrowserItem(QAction* item);
