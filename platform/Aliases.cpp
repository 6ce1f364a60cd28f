#include "platform/Aliases.h"

#include "platform/Files.h"

#include <QDataStream>
#include <QIODevice>
#include <sys/stat.h>

namespace {
constexpr quint32 kAliasMagic = FOUR_CHAR_CODE("VMal");
constexpr quint32 kAliasVersion = 1;
} // namespace

OSStatus FSNewAlias(const FSRef*, const FSRef* target, AliasHandle* alias) {
    if (!alias)
        return paramErr;
    QByteArray path;
    if (OSStatus status = FSRefCopyPath(target, &path); status != noErr)
        return status;
    struct stat st;
    if (stat(path.constData(), &st) != 0)
        return fnfErr;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << kAliasMagic << kAliasVersion << path << quint64(st.st_dev) << quint64(st.st_ino);
    *alias = bytes;
    return noErr;
}

OSStatus FSResolveAliasWithMountFlags(const FSRef*, const AliasHandle& alias, FSRef* target,
                                      Boolean* wasChanged, UInt32) {
    if (!target || alias.isEmpty())
        return paramErr;
    QDataStream in(alias);
    quint32 magic = 0, version = 0;
    QByteArray path;
    quint64 device = 0, inode = 0;
    in >> magic >> version >> path >> device >> inode;
    if (in.status() != QDataStream::Ok || magic != kAliasMagic || version != kAliasVersion)
        return paramErr;
    struct stat st;
    if (path.isEmpty() || stat(path.constData(), &st) != 0 || quint64(st.st_dev) != device ||
        quint64(st.st_ino) != inode)
        return fnfErr;
    if (wasChanged)
        *wasChanged = false;
    return FSPathMakeRef(path, target);
}
