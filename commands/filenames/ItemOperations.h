// The small operations on items that the filename commands and the commands that write files
// share: names and extensions, renaming, kinds, a folder's children, the file manager's sort
// order, and the list of quoted paths handed to scripts.
#pragma once

#include "platform/MacTypes.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The item's name; none when it cannot be read or is not valid UTF-8.
std::optional<QString> GetObjectName(const FSRef* item);
std::optional<QString> FSGetName(const FSRef* item);

// The item's extension without its dot, by the one extension rule; none when it has none.
std::optional<QString> CopyNameExtension(const FSRef* item);

// Renames the item in its folder; the reference then names the renamed item. Names that are
// taken, not allowed or too long are refused by the file services, and the item keeps its name.
OSStatus SetObjectName(FSRef* item, const QString& name);

// All false when the item cannot be looked at. A plain folder is a folder that is not a package;
// a container is any folder, packages included. Links are plain files, never folders.
bool ItemIsPlainFolder(const FSRef* item);
bool ItemIsPlainFile(const FSRef* item);
bool ItemIsContainer(const FSRef* item);
// A name beginning with ".".
bool IsInvisible(const FSRef* item);

// The folder's direct children in the file system's order; none when it has none or cannot be
// read.
std::optional<std::vector<FSRef>> GetDirectoryItemsList(const FSRef* folder);

// Negative, zero or positive as `a` sorts before, with or after `b` in the file manager's
// order, under the user's locale. Each call sets up a collator: a sort should use
// SortCFMutableArrayOfCFStringsLikeTheFinder.
int CompareLikeTheFinder(const QString& a, const QString& b);
// Sorts in the file manager's order; texts that compare equal keep their order.
void SortCFMutableArrayOfCFStringsLikeTheFinder(QStringList& texts);

// Appends the item's path to `paths` as a double-quoted text, after ", " unless `paths` is
// empty. Within the quotes a backslash is written "\\" and a double quote "\"", so the list,
// placed between braces in a script, reads back as exactly those paths. Nothing is appended
// when the item's path cannot be had or is not valid UTF-8.
void AddFilePathToPaths(const FSRef* item, QString& paths);
