#include "platform/local/files/FileOperations.h"

#include "platform/local/files/ExtensionRule.h"
#include "platform/local/files/FileDescriptor.h"
#include "platform/local/files/Files.h"
#include "platform/local/text/TextEncodings.h"

#include <QList>
#include <QUuid>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using platform::FileDescriptor;

namespace {

QByteArray joinPath(const QByteArray& folder, const QByteArray& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// Where an item's entry lives: its folder, held open, and its name in that folder.
struct ItemEntry {
    QByteArray folderPath;
    QByteArray name;
    FileDescriptor folder;
};

FileDescriptor openFolder(const QByteArray& path) {
    return FileDescriptor(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

long maxNameBytes(int folderFd) {
    const long limit = ::fpathconf(folderFd, _PC_NAME_MAX);
    return limit > 0 ? std::min<long>(limit, NAME_MAX) : NAME_MAX;
}

// The entry of the item the reference names, looked at through its open folder, so that what is
// then renamed or deleted is that item and not one put in its place meanwhile. That one look is
// also the check that the reference is still valid.
OSStatus openEntry(const FSRef* ref, ItemEntry* entry) {
    const auto recorded = FSRefRecordedItem(ref);
    if (!recorded)
        return fnfErr;
    const QByteArray& path = recorded->path;
    if (path == "/")
        return paramErr;
    const qsizetype slash = path.lastIndexOf('/');
    entry->folderPath = slash == 0 ? QByteArray("/") : path.left(slash);
    entry->name = path.mid(slash + 1);
    entry->folder = openFolder(entry->folderPath);
    if (!entry->folder.valid()) {
        const int err = errno;
        return FSIsFSRefValid(ref) == noErr ? FSStatusForErrno(err) : fnfErr;
    }
    if (ItemIdentityAt(entry->folder.get(), entry->name) != recorded->stamp.identity)
        return fnfErr;
    return noErr;
}

// Moves an entry within one folder, refusing a name that is taken.
OSStatus moveNoReplace(int folderFd, const QByteArray& from, const QByteArray& to) {
    if (::renameat2(folderFd, from.constData(), folderFd, to.constData(), RENAME_NOREPLACE) == 0)
        return noErr;
    if (errno != EINVAL && errno != ENOSYS)
        return FSStatusForErrno(errno);
    // File systems without RENAME_NOREPLACE (NFS, some FUSE ones): a hard link is refused when
    // the name is taken, so linking and then unlinking never replaces anything either. Folders
    // cannot be linked, so on such a file system they keep their names.
    if (::linkat(folderFd, from.constData(), folderFd, to.constData(), 0) != 0)
        return FSStatusForErrno(errno);
    if (::unlinkat(folderFd, from.constData(), 0) != 0) {
        const int err = errno;
        ::unlinkat(folderFd, to.constData(), 0);
        return FSStatusForErrno(err);
    }
    return noErr;
}

OSStatus renameEntry(int folderFd, const QByteArray& from, const QByteArray& to) {
    // The rename itself refuses a taken name; only then is it worth asking what took it.
    if (OSStatus status = moveNoReplace(folderFd, from, to); status != dupFNErr)
        return status;
    struct stat source, target;
    if (::fstatat(folderFd, from.constData(), &source, AT_SYMLINK_NOFOLLOW) != 0 ||
        ::fstatat(folderFd, to.constData(), &target, AT_SYMLINK_NOFOLLOW) != 0 ||
        source.st_dev != target.st_dev || source.st_ino != target.st_ino)
        return dupFNErr;
    // The new name leads to the item itself: a file system that ignores case (the name differs
    // only in case), or a second hard link. Going through a name of its own frees the new name
    // in the first case; in the second, the last step is refused and the item goes back.
    const QByteArray temporary =
        ".velmora-rename-" + QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    if (OSStatus status = moveNoReplace(folderFd, from, temporary); status != noErr)
        return status;
    if (OSStatus status = moveNoReplace(folderFd, temporary, to); status != noErr) {
        moveNoReplace(folderFd, temporary, from);
        return status;
    }
    return noErr;
}

// Creation in a folder: the folder held open, the name checked against its file system.
OSStatus openParent(const FSRef* parent, const QString& name, QByteArray* folderPath,
                    FileDescriptor* folder, QByteArray* nameBytes) {
    if (FSRefCopyPath(parent, folderPath) != noErr)
        return dirNFErr;
    *folder = openFolder(*folderPath);
    if (!folder->valid())
        return errno == ENOTDIR ? dirNFErr : FSStatusForErrno(errno);
    return FileNameBytes(name, nameBytes, maxNameBytes(folder->get()));
}

OSStatus refForCreated(const QByteArray& folderPath, const QByteArray& name, FSRef* newRef) {
    return newRef ? FSPathMakeRef(joinPath(folderPath, name), newRef) : noErr;
}

// The names in an open folder, "." and ".." left out.
OSStatus listNames(int folderFd, std::vector<QByteArray>* names) {
    FileDescriptor own(::dup(folderFd));
    if (!own.valid())
        return FSStatusForErrno(errno);
    DIR* dir = ::fdopendir(own.get());
    if (!dir)
        return FSStatusForErrno(errno);
    own.release();
    errno = 0;
    while (const dirent* child = ::readdir(dir)) {
        const QByteArray name(child->d_name);
        if (name != "." && name != "..")
            names->push_back(name);
        errno = 0;
    }
    const int err = errno;
    ::closedir(dir);
    return err == 0 ? noErr : FSStatusForErrno(err);
}

// Set-user and set-group-ID bits are not carried over to a copy the user owns.
mode_t copiedMode(const struct stat& st) {
    return st.st_mode & 07777 & ~mode_t(S_ISUID | S_ISGID);
}

OSStatus copyUserAttributes(int from, int to) {
    QByteArray names;
    for (;;) {
        const ssize_t size = ::flistxattr(from, nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP ? noErr : FSStatusForErrno(errno);
        names.resize(size);
        const ssize_t got = ::flistxattr(from, names.data(), size_t(names.size()));
        if (got >= 0) {
            names.resize(got);
            break;
        }
        if (errno != ERANGE)
            return FSStatusForErrno(errno);
    }
    for (const QByteArray& name : names.split('\0')) {
        if (!name.startsWith("user."))
            continue;
        QByteArray value;
        ssize_t got = -1;
        do {
            const ssize_t size = ::fgetxattr(from, name.constData(), nullptr, 0);
            if (size < 0)
                break;
            value.resize(size);
            got = ::fgetxattr(from, name.constData(), value.data(), size_t(value.size()));
        } while (got < 0 && errno == ERANGE);
        if (got < 0) {
            if (errno == ENODATA)
                continue;
            return FSStatusForErrno(errno);
        }
        // A destination that keeps no user attributes gets what it can hold: the contents.
        if (::fsetxattr(to, name.constData(), value.constData(), size_t(got), 0) != 0 &&
            errno != ENOTSUP)
            return FSStatusForErrno(errno);
    }
    return noErr;
}

OSStatus copyContents(int from, int to) {
    bool plainCopy = false;
    for (;;) {
        ssize_t copied;
        if (!plainCopy) {
            copied = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
            if (copied < 0 &&
                (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                plainCopy = true;
                continue;
            }
        } else {
            char buffer[64 * 1024];
            copied = ::read(from, buffer, sizeof buffer);
            for (ssize_t done = 0; copied > 0 && done < copied;) {
                const ssize_t written = ::write(to, buffer + done, size_t(copied - done));
                if (written < 0 && errno != EINTR)
                    return FSStatusForErrno(errno);
                done += std::max<ssize_t>(written, 0);
            }
        }
        if (copied == 0)
            return noErr;
        if (copied < 0 && errno != EINTR)
            return FSStatusForErrno(errno);
    }
}

OSStatus finishCopy(int from, int to, const struct stat& st) {
    if (OSStatus status = copyUserAttributes(from, to); status != noErr)
        return status;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::fchmod(to, copiedMode(st)) != 0 || ::futimens(to, times) != 0)
        return FSStatusForErrno(errno);
    return noErr;
}

// Copies one entry; `created` is set once the copy's own entry exists, so that a failure
// afterwards knows there is something of its own to remove, and nothing that was there before.
OSStatus copyEntry(int fromFolder, const QByteArray& name, int toFolder, const QByteArray& newName,
                   bool topLevel, bool* created) {
    struct stat st;
    if (::fstatat(fromFolder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return FSStatusForErrno(errno);
    if (S_ISLNK(st.st_mode)) {
        QByteArray target(qsizetype(st.st_size) + 1, '\0');
        const ssize_t size =
            ::readlinkat(fromFolder, name.constData(), target.data(), size_t(target.size()));
        if (size < 0 || size >= target.size())
            return size < 0 ? FSStatusForErrno(errno) : ioErr;
        target.truncate(size);
        if (::symlinkat(target.constData(), toFolder, newName.constData()) != 0)
            return FSStatusForErrno(errno);
        *created = true;
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::utimensat(toFolder, newName.constData(), times, AT_SYMLINK_NOFOLLOW);
        return noErr;
    }
    if (S_ISREG(st.st_mode)) {
        FileDescriptor in(::openat(fromFolder, name.constData(),
                                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat opened;
        if (!in.valid() || ::fstat(in.get(), &opened) != 0)
            return FSStatusForErrno(errno);
        if (!S_ISREG(opened.st_mode))
            return fnfErr;
        FileDescriptor out(::openat(toFolder, newName.constData(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!out.valid())
            return FSStatusForErrno(errno);
        *created = true;
        if (OSStatus status = copyContents(in.get(), out.get()); status != noErr)
            return status;
        return finishCopy(in.get(), out.get(), opened);
    }
    if (S_ISDIR(st.st_mode)) {
        FileDescriptor in(::openat(fromFolder, name.constData(),
                                   O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!in.valid())
            return FSStatusForErrno(errno);
        if (::mkdirat(toFolder, newName.constData(), 0700) != 0)
            return FSStatusForErrno(errno);
        *created = true;
        FileDescriptor out(::openat(toFolder, newName.constData(),
                                    O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!out.valid())
            return FSStatusForErrno(errno);
        std::vector<QByteArray> children;
        if (OSStatus status = listNames(in.get(), &children); status != noErr)
            return status;
        for (const QByteArray& child : children) {
            bool childCreated = false;
            if (OSStatus status =
                    copyEntry(in.get(), child, out.get(), child, false, &childCreated);
                status != noErr)
                return status;
        }
        return finishCopy(in.get(), out.get(), st);
    }
    return topLevel ? paramErr : noErr;
}

// Removes an entry and, for a folder, everything in it, never following a link.
void removeTree(int folderFd, const QByteArray& name) {
    struct stat st;
    if (::fstatat(folderFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return;
    if (S_ISDIR(st.st_mode)) {
        FileDescriptor folder(
            ::openat(folderFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        std::vector<QByteArray> children;
        if (folder.valid() && ::fchmod(folder.get(), 0700) == 0 &&
            listNames(folder.get(), &children) == noErr) {
            for (const QByteArray& child : children)
                removeTree(folder.get(), child);
        }
        ::unlinkat(folderFd, name.constData(), AT_REMOVEDIR);
    } else {
        ::unlinkat(folderFd, name.constData(), 0);
    }
}

// Whether the folder is the item `st` describes or lies inside it.
bool folderIsWithin(int folderFd, const struct stat& item) {
    FileDescriptor current(::dup(folderFd));
    while (current.valid()) {
        struct stat here;
        if (::fstat(current.get(), &here) != 0)
            return false;
        if (here.st_dev == item.st_dev && here.st_ino == item.st_ino)
            return true;
        FileDescriptor up(::openat(current.get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        struct stat above;
        if (!up.valid() || ::fstat(up.get(), &above) != 0 ||
            (above.st_dev == here.st_dev && above.st_ino == here.st_ino))
            return false;
        current = std::move(up);
    }
    return false;
}

} // namespace

OSStatus FSStatusForErrno(int err) {
    switch (err) {
    case ENOENT:
        return fnfErr;
    case EEXIST:
    case ENOTEMPTY:
        return dupFNErr;
    case ENAMETOOLONG:
        return errFSNameTooLong;
    case ENOTDIR:
        return dirNFErr;
    case EACCES:
    case EPERM:
    case EROFS:
        return permErr;
    case ENOSPC:
    case EDQUOT:
        return dskFulErr;
    case ENOMEM:
        return memFullErr;
    case EINVAL:
        return paramErr;
    default:
        return ioErr;
    }
}

OSStatus FileNameBytes(const QString& name, QByteArray* bytes, long maxBytes) {
    if (!bytes)
        return paramErr;
    if (name.isEmpty() || name == u"." || name == u".." || name.contains(u'/') ||
        name.contains(QChar(0)) || !QStringView(name).isValidUtf16())
        return bdNamErr;
    QByteArray utf8 = name.toUtf8();
    if (utf8.size() > maxBytes)
        return errFSNameTooLong;
    *bytes = std::move(utf8);
    return noErr;
}

namespace {

// The bytes `copy` gives for the item, as UTF-8 text.
OSStatus copyAsText(const FSRef* ref, OSStatus (*copy)(const FSRef*, QByteArray*), QString* text) {
    QByteArray bytes;
    if (OSStatus status = copy(ref, &bytes); status != noErr)
        return status;
    auto decoded = DecodeUtf8Exactly(bytes);
    if (!decoded)
        return kTextMalformedInputErr;
    if (text)
        *text = std::move(*decoded);
    return noErr;
}

} // namespace

OSStatus FSGetNameUnicode(const FSRef* ref, QString* name) {
    return copyAsText(ref, FSGetNameBytes, name);
}

OSStatus FSRefCopyPathUnicode(const FSRef* ref, QString* path) {
    return copyAsText(ref, FSRefCopyPath, path);
}

OSStatus FSMakeFSRefUnicode(const FSRef* parent, const QString& name, FSRef* ref,
                            Boolean* isDirectory) {
    QByteArray folder;
    if (FSRefCopyPath(parent, &folder) != noErr)
        return dirNFErr;
    struct stat st;
    if (::stat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return dirNFErr;
    QByteArray bytes;
    if (OSStatus status = FileNameBytes(name, &bytes); status != noErr)
        return status;
    const QByteArray path = joinPath(folder, bytes);
    const OSStatus status = FSPathMakeRef(path, ref, isDirectory);
    if (status == fnfErr && ::lstat(path.constData(), &st) == 0)
        return ioErr;
    return status;
}

OSStatus FSRenameUnicode(const FSRef* ref, const QString& name, FSRef* newRef) {
    if (!newRef)
        return paramErr;
    ItemEntry entry;
    if (OSStatus status = openEntry(ref, &entry); status != noErr)
        return status;
    // A name longer than the folder's file system takes is refused by the rename itself
    // (ENAMETOOLONG), so its limit need not be asked first.
    QByteArray newName;
    if (OSStatus status = FileNameBytes(name, &newName); status != noErr)
        return status;
    if (newName != entry.name) {
        if (OSStatus status = renameEntry(entry.folder.get(), entry.name, newName); status != noErr)
            return status;
    }
    return FSMakeRefInFolder(entry.folder.get(), entry.folderPath, newName, newRef);
}

OSStatus FSCreateDirectoryUnicode(const FSRef* parent, const QString& name, FSRef* newRef) {
    QByteArray folderPath, bytes;
    FileDescriptor folder;
    if (OSStatus status = openParent(parent, name, &folderPath, &folder, &bytes); status != noErr)
        return status;
    if (::mkdirat(folder.get(), bytes.constData(), 0777) != 0)
        return FSStatusForErrno(errno);
    return refForCreated(folderPath, bytes, newRef);
}

OSStatus FSCreateFileUnicode(const FSRef* parent, const QString& name, FSRef* newRef) {
    QByteArray folderPath, bytes;
    FileDescriptor folder;
    if (OSStatus status = openParent(parent, name, &folderPath, &folder, &bytes); status != noErr)
        return status;
    FileDescriptor file(::openat(folder.get(), bytes.constData(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC,
                                 0666));
    if (!file.valid())
        return FSStatusForErrno(errno);
    return refForCreated(folderPath, bytes, newRef);
}

OSStatus FSDeleteObject(const FSRef* ref) {
    ItemEntry entry;
    if (OSStatus status = openEntry(ref, &entry); status != noErr)
        return status;
    struct stat st;
    if (::fstatat(entry.folder.get(), entry.name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return FSStatusForErrno(errno);
    if (::unlinkat(entry.folder.get(), entry.name.constData(),
                   S_ISDIR(st.st_mode) ? AT_REMOVEDIR : 0) != 0)
        return errno == ENOTEMPTY || errno == EEXIST ? fBsyErr : FSStatusForErrno(errno);
    return noErr;
}

OSStatus FSCopyObjectSync(const FSRef* source, const FSRef* destDir,
                          const std::optional<QString>& destName, FSRef* target) {
    ItemEntry entry;
    if (OSStatus status = openEntry(source, &entry); status != noErr)
        return status;
    QByteArray destPath;
    if (FSRefCopyPath(destDir, &destPath) != noErr)
        return dirNFErr;
    FileDescriptor destination = openFolder(destPath);
    if (!destination.valid())
        return errno == ENOTDIR ? dirNFErr : FSStatusForErrno(errno);
    QByteArray newName = entry.name;
    if (destName) {
        if (OSStatus status = FileNameBytes(*destName, &newName, maxNameBytes(destination.get()));
            status != noErr)
            return status;
    }
    struct stat st;
    if (::fstatat(entry.folder.get(), entry.name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return FSStatusForErrno(errno);
    if (S_ISDIR(st.st_mode) && folderIsWithin(destination.get(), st))
        return paramErr;
    bool created = false;
    if (OSStatus status =
            copyEntry(entry.folder.get(), entry.name, destination.get(), newName, true, &created);
        status != noErr) {
        if (created)
            removeTree(destination.get(), newName);
        return status;
    }
    return target ? FSPathMakeRef(joinPath(destPath, newName), target) : noErr;
}

OSStatus FSGetParentRef(const FSRef* ref, FSRef* parent) {
    QByteArray path;
    if (OSStatus status = FSRefCopyPath(ref, &path); status != noErr)
        return status;
    if (path == "/")
        return fnfErr;
    const qsizetype slash = path.lastIndexOf('/');
    return FSPathMakeRef(slash == 0 ? QByteArray("/") : path.left(slash), parent);
}

OSStatus FSGetDirectoryItems(const FSRef* folder, std::vector<FSRef>* items) {
    if (!items)
        return paramErr;
    items->clear();
    QByteArray path;
    if (OSStatus status = FSRefCopyPath(folder, &path); status != noErr)
        return status;
    const FileDescriptor folderFd(
        ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folderFd.valid())
        return errno == ENOTDIR || errno == ELOOP ? errFSNotAFolder : FSStatusForErrno(errno);
    std::vector<QByteArray> names;
    if (OSStatus status = listNames(folderFd.get(), &names); status != noErr)
        return status;
    items->reserve(names.size());
    for (const QByteArray& name : names) {
        FSRef child;
        if (FSMakeRefInFolder(folderFd.get(), path, name, &child) == noErr)
            items->push_back(child);
    }
    return noErr;
}

OSStatus LSCopyItemInfoForRef(const FSRef* ref, UInt32 whichInfo, LSItemInfoRecord* info) {
    if (!info)
        return paramErr;
    QByteArray path;
    if (OSStatus status = FSRefCopyPath(ref, &path); status != noErr)
        return status;
    struct stat st;
    if (::lstat(path.constData(), &st) != 0)
        return FSStatusForErrno(errno);
    const QByteArray nameBytes = path == "/" ? path : path.mid(path.lastIndexOf('/') + 1);
    const auto name = DecodeUtf8Exactly(nameBytes);
    const auto extensionStart = name ? ExtensionStartIndex(*name) : std::nullopt;
    const QString extension = extensionStart ? name->mid(*extensionStart) : QString();

    LSItemInfoRecord record;
    if (S_ISDIR(st.st_mode)) {
        record.flags |= kLSItemInfoIsContainer;
        if (extension.compare(u"app", Qt::CaseInsensitive) == 0)
            record.flags |= kLSItemInfoIsPackage;
    } else {
        record.flags |= kLSItemInfoIsPlainFile;
        if (S_ISLNK(st.st_mode))
            record.flags |= kLSItemInfoIsSymlink;
    }
    if (nameBytes.startsWith('.'))
        record.flags |= kLSItemInfoIsInvisible;
    if ((whichInfo & kLSRequestExtension) && extensionStart)
        record.extension = extension;
    if (whichInfo & (kLSRequestExtensionFlagsOnly | kLSRequestAllFlags)) {
        Boolean hidden = false;
        if (OSStatus status = LSGetExtensionHiddenForRef(ref, &hidden); status != noErr)
            return status;
        if (hidden)
            record.flags |= kLSItemInfoExtensionIsHidden;
    }
    *info = std::move(record);
    return noErr;
}
