#include "platform/local/files/Files.h"

#include <QHash>
#include <QList>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

constexpr UInt32 kRefMagic = FOUR_CHAR_CODE("VMrf");
constexpr char kExtensionHiddenAttribute[] = "user.velmora.extension-hidden";

struct RefData {
    UInt32 magic;
    UInt32 pathId;
    ItemIdentity identity;
};
static_assert(sizeof(RefData) == 2 * sizeof(UInt32) + sizeof(ItemIdentity));

// After the reference proper, which alone says which item it is, the rest of the item's stamp as
// the look that made the reference saw it.
struct RefStampRest {
    UInt64 size;
    SInt64 modifiedSeconds;
    UInt64 modifiedNanoseconds;
    SInt64 changedSeconds;
    UInt64 changedNanoseconds;
};
static_assert(sizeof(RefData) + sizeof(RefStampRest) <= sizeof(FSRef));

// A reference holds an index into this table rather than the path itself, which would not fit
// in 80 bytes. Paths are never removed: a reference may be copied anywhere and live on.
class PathTable {
public:
    UInt32 intern(const QByteArray& path) {
        std::lock_guard lock(m_mutex);
        auto it = m_ids.constFind(path);
        if (it != m_ids.constEnd())
            return *it;
        m_paths.append(path);
        const auto id = UInt32(m_paths.size());
        m_ids.insert(path, id);
        return id;
    }
    std::optional<QByteArray> path(UInt32 id) {
        std::lock_guard lock(m_mutex);
        if (id == 0 || id > UInt32(m_paths.size()))
            return std::nullopt;
        return m_paths.at(id - 1);
    }

private:
    std::mutex m_mutex;
    QList<QByteArray> m_paths;
    QHash<QByteArray, UInt32> m_ids;
};

PathTable& pathTable() {
    static PathTable table;
    return table;
}

// An absolute path with no empty or "." component, as nearly every path is, is tidy already.
bool isTidyAbsolute(const QByteArray& path) {
    if (!path.startsWith('/') || path.contains("//") || path.contains("/./") || path.endsWith("/."))
        return false;
    return path.size() == 1 || !path.endsWith('/');
}

QByteArray tidyAbsolute(const QByteArray& path) {
    if (isTidyAbsolute(path))
        return path;
    QByteArray absolute = path;
    if (!absolute.startsWith('/')) {
        char cwd[4096];
        if (!getcwd(cwd, sizeof cwd))
            return {};
        absolute = QByteArray(cwd) + '/' + path;
    }
    QByteArray tidy("/");
    for (const QByteArray& part : absolute.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (!tidy.endsWith('/'))
            tidy += '/';
        tidy += part;
    }
    return tidy;
}

std::optional<RefData> recordedData(const FSRef* ref) {
    if (!ref)
        return std::nullopt;
    RefData data;
    std::memcpy(&data, ref->hidden, sizeof data);
    if (data.magic != kRefMagic)
        return std::nullopt;
    return data;
}

constexpr unsigned kLookMask =
    STATX_TYPE | STATX_INO | STATX_BTIME | STATX_SIZE | STATX_MTIME | STATX_CTIME;

// One statx gives everything a reference, an alias or a stamp needs (symbolic links followed).
bool lookAt(const char* path, struct statx* st, int folder = AT_FDCWD) {
    return statx(folder, path, AT_STATX_SYNC_AS_STAT, kLookMask, st) == 0;
}

ItemIdentity identityOf(const struct statx& st) {
    ItemIdentity identity{makedev(st.stx_dev_major, st.stx_dev_minor), st.stx_ino, 0, 0};
    if (st.stx_mask & STATX_BTIME) {
        identity.birthSeconds = st.stx_btime.tv_sec;
        identity.birthNanoseconds = st.stx_btime.tv_nsec;
    }
    return identity;
}

ItemStamp stampOf(const struct statx& st) {
    return {identityOf(st),       st.stx_size,         st.stx_mtime.tv_sec,
            st.stx_mtime.tv_nsec, st.stx_ctime.tv_sec, st.stx_ctime.tv_nsec};
}

// The path a valid reference names, or none when the reference is malformed or its path no
// longer names the same inode.
std::optional<QByteArray> validPath(const FSRef* ref, ItemStamp* stamp = nullptr) {
    const auto data = recordedData(ref);
    auto path = data ? pathTable().path(data->pathId) : std::nullopt;
    if (!path)
        return std::nullopt;
    struct statx st;
    if (!lookAt(path->constData(), &st) || identityOf(st) != data->identity)
        return std::nullopt;
    if (stamp)
        *stamp = stampOf(st);
    return path;
}

void fillRef(const QByteArray& absolute, const struct statx& st, FSRef* ref) {
    const ItemStamp stamp = stampOf(st);
    RefData data{kRefMagic, pathTable().intern(absolute), stamp.identity};
    const RefStampRest rest{stamp.size, stamp.modifiedSeconds, stamp.modifiedNanoseconds,
                            stamp.changedSeconds, stamp.changedNanoseconds};
    std::memset(ref->hidden, 0, sizeof ref->hidden);
    std::memcpy(ref->hidden, &data, sizeof data);
    std::memcpy(ref->hidden + sizeof data, &rest, sizeof rest);
}

} // namespace

std::optional<ItemIdentity> ItemIdentityAt(const QByteArray& path) {
    struct statx st;
    if (!lookAt(path.constData(), &st))
        return std::nullopt;
    return identityOf(st);
}

std::optional<ItemIdentity> ItemIdentityAt(int folder, const QByteArray& name) {
    struct statx st;
    if (!lookAt(name.constData(), &st, folder))
        return std::nullopt;
    return identityOf(st);
}

OSStatus FSPathMakeRef(const QByteArray& path, FSRef* ref, Boolean* isDirectory) {
    if (!ref || path.isEmpty() || path.contains('\0'))
        return paramErr;
    const QByteArray absolute = tidyAbsolute(path);
    if (absolute.isEmpty())
        return paramErr;
    // One look serves the identity and the kind: selections of thousands of items are made into
    // references at every opening of the menu.
    struct statx st;
    if (!lookAt(absolute.constData(), &st))
        return errno == ENAMETOOLONG ? pathTooLongErr : fnfErr;
    fillRef(absolute, st, ref);
    if (isDirectory)
        *isDirectory = S_ISDIR(st.stx_mode);
    return noErr;
}

OSStatus FSMakeRefInFolder(int folder, const QByteArray& folderPath, const QByteArray& name,
                           FSRef* ref) {
    if (!ref || name.isEmpty() || name.contains('/') || name.contains('\0'))
        return paramErr;
    struct statx st;
    if (!lookAt(name.constData(), &st, folder))
        return errno == ENAMETOOLONG ? pathTooLongErr : fnfErr;
    fillRef(folderPath.endsWith('/') ? folderPath + name : folderPath + '/' + name, st, ref);
    return noErr;
}

OSStatus FSRefCopyPath(const FSRef* ref, QByteArray* path) {
    if (!path)
        return paramErr;
    auto valid = validPath(ref);
    if (!valid)
        return fnfErr;
    *path = *valid;
    return noErr;
}

OSStatus FSRefCopyPathAndStamp(const FSRef* ref, QByteArray* path, ItemStamp* stamp) {
    if (!path || !stamp)
        return paramErr;
    auto valid = validPath(ref, stamp);
    if (!valid)
        return fnfErr;
    *path = *valid;
    return noErr;
}

std::optional<RecordedItem> FSRefRecordedItem(const FSRef* ref) {
    const auto data = recordedData(ref);
    auto path = data ? pathTable().path(data->pathId) : std::nullopt;
    if (!path)
        return std::nullopt;
    RefStampRest rest;
    std::memcpy(&rest, ref->hidden + sizeof(RefData), sizeof rest);
    return RecordedItem{*path,
                        {data->identity, rest.size, rest.modifiedSeconds, rest.modifiedNanoseconds,
                         rest.changedSeconds, rest.changedNanoseconds}};
}

OSStatus FSRefMakePath(const FSRef* ref, UInt8* buffer, UInt32 maxPathSize) {
    if (!buffer || maxPathSize == 0)
        return paramErr;
    QByteArray path;
    if (OSStatus status = FSRefCopyPath(ref, &path); status != noErr)
        return status;
    if (UInt32(path.size()) + 1 > maxPathSize)
        return pathTooLongErr;
    std::memcpy(buffer, path.constData(), size_t(path.size()) + 1);
    return noErr;
}

OSStatus FSIsFSRefValid(const FSRef* ref) {
    return validPath(ref) ? noErr : fnfErr;
}

bool FSCompareFSRefs(const FSRef* a, const FSRef* b) {
    return a && b && std::memcmp(a->hidden, b->hidden, sizeof(RefData)) == 0;
}

OSStatus FSRefMakeFSSpec(const FSRef* ref, FSSpec* spec) {
    if (!spec)
        return paramErr;
    if (!validPath(ref))
        return fnfErr;
    spec->ref = *ref;
    return noErr;
}

OSStatus FSGetNameBytes(const FSRef* ref, QByteArray* name) {
    QByteArray path;
    if (OSStatus status = FSRefCopyPath(ref, &path); status != noErr)
        return status;
    if (!name)
        return paramErr;
    *name = path == "/" ? path : path.mid(path.lastIndexOf('/') + 1);
    return noErr;
}

OSStatus LSGetExtensionHiddenForRef(const FSRef* ref, Boolean* hidden) {
    QByteArray path;
    if (OSStatus status = FSRefCopyPath(ref, &path); status != noErr)
        return status;
    if (!hidden)
        return paramErr;
    char value[8];
    const ssize_t size =
        lgetxattr(path.constData(), kExtensionHiddenAttribute, value, sizeof value);
    if (size < 0) {
        if (errno == ENODATA || errno == ENOTSUP) {
            *hidden = false;
            return noErr;
        }
        return ioErr;
    }
    *hidden = size == 1 && value[0] == '1';
    return noErr;
}

OSStatus LSSetExtensionHiddenForRef(const FSRef* ref, Boolean hide) {
    QByteArray path;
    if (OSStatus status = FSRefCopyPath(ref, &path); status != noErr)
        return status;
    if (hide) {
        if (lsetxattr(path.constData(), kExtensionHiddenAttribute, "1", 1, 0) != 0)
            return ioErr;
    } else if (lremovexattr(path.constData(), kExtensionHiddenAttribute) != 0 && errno != ENODATA) {
        return ioErr;
    }
    return noErr;
}
