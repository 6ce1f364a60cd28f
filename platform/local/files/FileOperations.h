// Names, renaming, creation, copying, deletion, listing and kinds of items: the file operations the
// commands build on, in the shape of the classic File Manager and Launch Services calls.
//
// Names are Unicode text and are stored as their UTF-8 bytes. A name is refused (bdNamErr,
// nothing on disk changes) when it is empty, "." or "..", holds "/" or NUL, or is not valid
// UTF-16; it is too long (errFSNameTooLong) past what the folder's file system allows, at most
// NAME_MAX bytes. No operation here ever replaces an existing item: creating or renaming onto a
// name that is taken fails with dupFNErr.
//
// Symbolic links are items of their own: they are renamed, deleted and classified as links,
// never followed into. A link that points nowhere cannot be referred to (an FSRef names the
// item its path leads to), so it is not listed among a folder's items.
#pragma once

#include "platform/types/MacTypes.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// The status a failed system call's errno stands for.
OSStatus FSStatusForErrno(int err);

// The bytes `name` is stored as, after the checks above against the limit `maxBytes`.
OSStatus FileNameBytes(const QString& name, QByteArray* bytes, long maxBytes = 255);

// The item's name as text; kTextMalformedInputErr when its bytes are not UTF-8, since such a
// name could not be written back exactly.
OSStatus FSGetNameUnicode(const FSRef* ref, QString* name);
// The item's path as text, with the same refusal.
OSStatus FSRefCopyPathUnicode(const FSRef* ref, QString* path);

// A reference to the item called `name` in the folder `parent`. fnfErr when nothing of that
// name is there, dirNFErr when `parent` is not an existing folder, ioErr when the name is taken
// by something that cannot be referred to (a link to nothing).
OSStatus FSMakeFSRefUnicode(const FSRef* parent, const QString& name, FSRef* ref,
                            Boolean* isDirectory = nullptr);

// Gives the item the new name in its folder; `newRef` (which may be `ref` itself) then refers
// to the renamed item. A name that differs only in case from the current one works on every
// file system: on one that ignores case, the item goes through a temporary name of its own.
// Renaming to the current name succeeds and changes nothing.
OSStatus FSRenameUnicode(const FSRef* ref, const QString& name, FSRef* newRef);

// A new, empty folder (mode 0777 less the umask) or file (0666 less the umask).
OSStatus FSCreateDirectoryUnicode(const FSRef* parent, const QString& name, FSRef* newRef);
OSStatus FSCreateFileUnicode(const FSRef* parent, const QString& name, FSRef* newRef);

// Deletes a file, a link (not what it points to) or an empty folder; fBsyErr for a folder that
// is not empty.
OSStatus FSDeleteObject(const FSRef* ref);

// Copies the item into the folder `destDir` under `destName`, or its own name when there is
// none; `target` (may be null) then refers to the copy. The copy is complete: a file's contents,
// permissions (less set-user and set-group-ID) and dates; its user.* extended attributes, which
// carry the extension-hidden flag and the custom icon, wherever the destination file system can
// hold them; a folder with everything in it; a link as a link to the same place, never what it
// points to. Pipes, sockets and devices inside a folder are left out: they hold nothing to copy.
// A taken name is never replaced (dupFNErr), a folder is never copied into itself (paramErr),
// and a copy that fails part-way is removed again.
OSStatus FSCopyObjectSync(const FSRef* source, const FSRef* destDir,
                          const std::optional<QString>& destName, FSRef* target);

// The folder holding the item; fnfErr for the root, which has none.
OSStatus FSGetParentRef(const FSRef* ref, FSRef* parent);

// The folder's direct children in the order the file system lists them, files, folders and
// links alike. errFSNotAFolder when `folder` is not a folder (a link to one included). Children
// that disappear while they are listed are left out.
OSStatus FSGetDirectoryItems(const FSRef* folder, std::vector<FSRef>* items);

// What LSCopyItemInfoForRef reports. The flags describe the item itself, a link not followed:
//   plain file  - anything that is not a folder: files, links (which also get the link flag),
//                 pipes and devices;
//   container   - every folder, packages included;
//   package     - a folder that stands for one document or application: on this desktop, a
//                 folder whose name has the extension "app" (any case), as application
//                 bundles copied from a Mac have;
//   invisible   - a name that begins with ".", the only invisibility Linux file managers know.
enum : UInt32 {
    kLSRequestExtension = 0x1,
    kLSRequestBasicFlagsOnly = 0x4,
    kLSRequestAllFlags = 0x10,
    kLSRequestExtensionFlagsOnly = 0x40,
};
enum : UInt32 {
    kLSItemInfoIsPlainFile = 0x1,
    kLSItemInfoIsPackage = 0x2,
    kLSItemInfoIsContainer = 0x8,
    kLSItemInfoIsSymlink = 0x20,
    kLSItemInfoIsInvisible = 0x40,
    kLSItemInfoExtensionIsHidden = 0x00100000,
};

struct LSItemInfoRecord {
    UInt32 flags = 0;
    // With kLSRequestExtension: the extension by the one extension rule, without its dot.
    std::optional<QString> extension;
};

// The kind flags are always filled in; the extension with kLSRequestExtension, the
// extension-hidden flag with kLSRequestExtensionFlagsOnly or kLSRequestAllFlags.
OSStatus LSCopyItemInfoForRef(const FSRef* ref, UInt32 whichInfo, LSItemInfoRecord* info);
