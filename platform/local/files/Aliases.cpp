#include "platform/local/files/Aliases.h"

#include "platform/local/files/Files.h"

#include <QDataStream>
#include <QIODevice>

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
    const auto identity = ItemIdentityAt(path);
    if (!identity)
        return fnfErr;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << kAliasMagic << kAliasVersion << path << quint64(identity->device)
        << quint64(identity->inode) << qint64(identity->birthSeconds)
        << quint64(identity->birthNanoseconds);
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
    qint64 birthSeconds = 0;
    quint64 birthNanoseconds = 0;
    in >> magic >> version >> path >> device >> inode >> birthSeconds >> birthNanoseconds;
    if (in.status() != QDataStream::Ok || magic != kAliasMagic || version != kAliasVersion)
        return paramErr;
    const ItemIdentity stored{device, inode, birthSeconds, birthNanoseconds};
    if (path.isEmpty() || ItemIdentityAt(path) != stored)
        return fnfErr;
    if (wasChanged)
        *wasChanged = false;
    return FSPathMakeRef(path, target);
}
