// Fresh folders and names for the files commands write, so that nothing existing is overwritten:
// a new folder for each job in Velmora's temporary folder, unique names, and copies that take a
// name of their own when theirs is taken.
#pragma once

#include "platform/types/MacTypes.h"

#include <QString>
#include <optional>

// A new UUID as 36 upper-case hexadecimal digits and hyphens (8-4-4-4-12); a new one each call.
QString GenerateUniqueName();

// True unless nothing called `name` is in the folder. `found` gets the item when one can be
// referred to; a name the file system refuses, or any other failure, also counts as taken, and
// `found` is then left as it was.
bool FSObjectExists(const FSRef* parent, const QString& name, FSRef* found);

// The folder `name` in `parent`, made when the name is free. noErr comes only with a usable
// folder in `folder`: a name taken by something else than a folder, or by something that cannot
// be referred to, gives errFSNotAFolder or the look-up's failure.
OSStatus FSCreateDirectory(const FSRef* parent, const QString& name, FSRef* folder);

// The user's private temporary-items folder, as the desktop gives it; empty when there is none.
QString UserTemporaryItemsFolder();

// A new, empty folder named by a unique name in the folder "Velmora" of the user's
// temporary-items folder ("Velmora" is made the first time and kept). Each call gives a new
// folder. None on any failure, and when the temporary-items folder or "Velmora" is not private
// to the user (a link, another user's, open to others): such a folder is never used.
std::optional<QString> TemporaryItemsFolderPath();

// How long the files of a finished command stay in the temporary-items folder: long enough for
// a mail client to send a message whose attachments are archives made there, and for the user
// to look at an intermediate file, short enough that they never pile up.
inline constexpr qint64 kTemporaryItemsGraceSeconds = 24 * 60 * 60;

// Removes each job's folder (a folder in a folder of the temporary-items folder, such as
// "Velmora/<unique name>") not changed for longer than `ageSeconds`, with everything in it;
// links in them are removed, never followed. Nothing is removed unless the temporary-items
// folder is private to the user.
void RemoveOldTemporaryItems(qint64 ageSeconds);

// Creates an empty file called `name` in `parent`, first deleting a file, link or empty folder
// of that name, and gives its specification. When it cannot be made, the alert "The output file
// could not be created." is shown and its status returned.
OSStatus MakeOutputFile(const QString& name, const FSRef* parent, FSSpec* output);

// The name a copy of `source` takes in `destinationFolder` when its own is taken there: the
// name without its extension, " - ", a unique name, and the extension ("archive.tar.gz" gives
// "archive.tar - <unique name>.gz"). None when its own name is free, or cannot be read.
std::optional<QString> RenameDuplicateFile(const FSRef* destinationFolder, const FSRef* source);

// Copies the source, completely, into the destination folder, under a duplicate name when its
// own is taken there; `result` gets the copy. The source stays where it is. When the destination
// is the source's own folder nothing is copied and the result is noErr.
OSStatus MoveObjectRef3(const FSRef* source, const FSRef* destinationFolder, FSRef* result);
