// Custom icons from the clipboard: "Set Icons From Clipboard", "Add Clipboard To Icon" and
// "Remove Custom Icons", over the walk of the Finder's selection that every icon command shares.
#pragma once

#include "platform/types/MacTypes.h"

#include <QIcon>
#include <QString>
#include <functional>

// Calls `operation` for each element of the Finder's selection, first to last, that resolves to
// a reference still naming its item; the others are skipped silently. Nothing happens when the
// selection cannot be had, and after the alert "The Finder has no active selection." when it is
// empty.
void ForEachSelectedItem(const std::function<void(FSRef*)>& operation);

// The clipboard image, read afresh, becomes the item's custom icon.
void ClipToIcon(FSRef* item);
// The clipboard image is drawn over the item's icon, both fitted into a square of the icon's
// largest pixel width, and the result becomes its custom icon.
void AddClipToIcon(FSRef* item);
// The largest pixel width among the icon's representations; 0 when it has none.
int LargestRepresentationWidth(const QIcon& icon);

// The menu's three commands.
void SetIconsFromClipboardOfSelection();
void AddClipboardToIconsOfSelection();
// Asks first, before the selection is read; cancelled, nothing changes.
void RemoveCustomIconsOfSelection();
