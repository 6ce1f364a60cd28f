// What kind of file an item is: a web location, a graphics file, a movie.
//
// The graphics and movie tests look at the file's content, never at its name: a graphics file
// is one an image reader recognises from its header, a movie one the movie toolbox opens.
#pragma once

#include "platform/MacTypes.h"

bool IsWeblocFile(const FSRef* ref);
bool FSIsGraphicsFile(const FSRef* ref);
bool FSIsMovieFile(const FSRef* ref);
bool FSpIsGraphicsFile(const FSSpec* spec);
bool FSpIsMovieFile(const FSSpec* spec);
