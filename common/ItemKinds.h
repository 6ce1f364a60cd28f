// What kind of item an item is: a plain file or folder, a container, an invisible item, a web
// location, a graphics file, a movie.
//
// The graphics and movie tests look at the file's content, never at its name: a graphics file
// is one an image reader recognises from its header, a movie one the movie toolbox opens.
#pragma once

#include "platform/types/MacTypes.h"

// A web location: a ".webloc" or ".url" file by its name, or a desktop entry of Type=Link.
bool IsWeblocFile(const FSRef* ref);
bool FSIsGraphicsFile(const FSRef* ref);
bool FSIsMovieFile(const FSRef* ref);
bool FSpIsGraphicsFile(const FSSpec* spec);
bool FSpIsMovieFile(const FSSpec* spec);

// All false when the item cannot be looked at. A plain folder is a folder that is not a package;
// a container is any folder, packages included. Links are plain files, never folders.
bool ItemIsPlainFolder(const FSRef* item);
bool ItemIsPlainFile(const FSRef* item);
bool ItemIsContainer(const FSRef* item);
// A symbolic link, which is also a plain file.
bool ItemIsSymbolicLink(const FSRef* item);
// A name beginning with ".".
bool IsInvisible(const FSRef* item);
