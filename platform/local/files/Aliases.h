// Aliases: a stored reference to an item that can be resolved again later.
//
// An alias is the item's path plus its identity (Files.h), serialized. Resolving it
// never asks the user anything: it succeeds only when the path still names that very inode,
// so a file that was replaced or moved away is "not found" rather than silently swapped for
// whatever now has its name.
#pragma once

#include "platform/local/files/Files.h"
#include "platform/types/MacTypes.h"

#include <QByteArray>

// An alias's bytes; empty means "no alias".
using AliasHandle = QByteArray;

enum : UInt32 { kResolveAliasFileNoUI = 0x00000001 };

OSStatus FSNewAlias(const FSRef* fromFile, const FSRef* target, AliasHandle* alias);

// An alias to the item a look at `path` just found to be `identity`, made without another look.
AliasHandle AliasForItem(const QByteArray& path, const ItemIdentity& identity);

// An alias to the item at `path`, made with one look at it (a selection of thousands of items
// becomes aliases at every opening of the menu).
OSStatus FSNewAliasForPath(const QByteArray& path, AliasHandle* alias);

// `wasChanged` is always false here: an alias is never updated on resolution.
OSStatus FSResolveAliasWithMountFlags(const FSRef* fromFile, const AliasHandle& alias,
                                      FSRef* target, Boolean* wasChanged, UInt32 mountFlags);
