// File references and paths: the local file service both desktops share.
//
// An FSRef is {device, inode, birth time, path}: it stays valid while its path still names the
// same inode (the path followed through symbolic links, as the file manager shows the item).
// The birth time tells a new file apart from a deleted one whose inode number it reuses. Paths are
// bytes, because a Linux file name may be any bytes; only the system's own helpers turn them
// into text, and refuse names that are not UTF-8.
#pragma once

#include "platform/types/MacTypes.h"

#include <QByteArray>
#include <optional>

// What tells one item apart from every other, now and later.
struct ItemIdentity {
    UInt64 device;
    UInt64 inode;
    SInt64 birthSeconds; // 0 where the file system keeps no birth time
    UInt64 birthNanoseconds;
    bool operator==(const ItemIdentity&) const = default;
};
// References are compared byte for byte, so there must be no padding of unknown content.
static_assert(sizeof(ItemIdentity) == 4 * sizeof(UInt64));

// The identity of the item at `path` (symbolic links followed), or none when nothing is there.
std::optional<ItemIdentity> ItemIdentityAt(const QByteArray& path);
// The same for the entry `name` of the open folder `folder`.
std::optional<ItemIdentity> ItemIdentityAt(int folder, const QByteArray& name);

// Makes a reference to the item an absolute or relative POSIX path names. The path is made
// absolute and tidied lexically ("." components and repeated slashes go; ".." stays, since a
// symbolic link may stand before it). fnfErr when nothing is there, paramErr for an empty path
// or one holding a NUL byte.
OSStatus FSPathMakeRef(const QByteArray& path, FSRef* ref, Boolean* isDirectory = nullptr);

// The same for the entry `name` of the open folder `folder`, whose tidy absolute path is
// `folderPath`: one look relative to the folder, for the items of a folder listed or renamed
// through it.
OSStatus FSMakeRefInFolder(int folder, const QByteArray& folderPath, const QByteArray& name,
                           FSRef* ref);

// Writes the item's path, NUL-terminated, into `buffer`. fnfErr when the reference no longer
// names its item, pathTooLongErr when the path and its NUL do not fit in `maxPathSize` bytes.
OSStatus FSRefMakePath(const FSRef* ref, UInt8* buffer, UInt32 maxPathSize);

// The same, without a buffer limit of the caller's.
OSStatus FSRefCopyPath(const FSRef* ref, QByteArray* path);

// What changes whenever an item's content or attributes change, beside its identity.
struct ItemStamp {
    ItemIdentity identity;
    UInt64 size;
    SInt64 modifiedSeconds;
    UInt64 modifiedNanoseconds;
    SInt64 changedSeconds; // the inode's change time, which no program can set back
    UInt64 changedNanoseconds;
    bool operator==(const ItemStamp&) const = default;
};

// The path of a reference that still names its item, with the item's stamp now; one look.
OSStatus FSRefCopyPathAndStamp(const FSRef* ref, QByteArray* path, ItemStamp* stamp);

// The path and stamp a reference was made with, as they were then: no look at the file
// system, so nothing says the item is still there or unchanged.
struct RecordedItem {
    QByteArray path;
    ItemStamp stamp;
};
std::optional<RecordedItem> FSRefRecordedItem(const FSRef* ref);

// noErr when the reference names an existing item; fnfErr otherwise.
OSStatus FSIsFSRefValid(const FSRef* ref);

// Two references to the same item are equal.
bool FSCompareFSRefs(const FSRef* a, const FSRef* b);

OSStatus FSRefMakeFSSpec(const FSRef* ref, FSSpec* spec);

// The item's name: the last component of its path, as bytes.
OSStatus FSGetNameBytes(const FSRef* ref, QByteArray* name);

// The extension-hidden flag, kept in the extended attribute user.velmora.extension-hidden.
// An item without the attribute shows its extension. The flag is the item's own, never read or
// written through a symbolic link onto its target: Linux keeps no user attributes on links, so a
// link shows its extension and setting its flag fails with ioErr, leaving it as it is.
OSStatus LSGetExtensionHiddenForRef(const FSRef* ref, Boolean* hidden);
OSStatus LSSetExtensionHiddenForRef(const FSRef* ref, Boolean hide);
