// The "Desktop Pictures" section of the menu and its five actions.
//
//   the section's row            DesktopPicturesRows
//   the actions' handlers        SetDesktopPictureFromSelection, ClearRecentDesktopPictures,
//                                SetRecentDesktopPicture (the others are DesktopPicture.h's)
#pragma once

#include "common/CommandRows.h"

class QAction;

// "Desktop Pictures": reveal, set, reset, clear the recent list, and the recent pictures.
std::span<const CommandRow> DesktopPicturesRows();

// The first selected item becomes the desktop picture when it is a graphics file.
void SetDesktopPictureFromSelection();
// Asks first; the list stays when the user cancels.
void ClearRecentDesktopPictures();
// The picture whose path the chosen item carries as its tool tip.
void SetRecentDesktopPicture(QAction* sender);
