#include "platform/local/files/Aliases.h"

#include "platform/local/files/Files.h"

#include <QDataStream>
#include <QIODevice>

namespace {
constexpr quint32 kAliasMagic = FOUR_CHAR_CODE("VMal");
constexpr quint32 kAliasVersion = 1;
QByteArray aliasBytes(const QByteArray& path, const ItemIdentity& identity) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << kAliasMagic << kAliasVersion << path << quint64(identity.device)
        << quint64(identity.inode) << qint64(identity.birthSeconds)
        << quint64(identity.birthNanoseconds);
    return bytes;
}

} // namespace

OSStatus FSNewAlias(const FSRef*, const FSRef* target, AliasHandle* alias) {
    if (!alias)
        return paramErr;
    QByteArray path;
    ItemStamp stamp;
    if (OSStatus status = FSRefCopyPathAndStamp(target, &path, &stamp); status != noErr)
        return status;
    *alias = aliasBytes(path, stamp.identity);
    return noErr;
}

AliasHandle AliasForItem(const QByteArray& path, const ItemIdentity& identity) {
    return aliasBytes(path, identity);
}

OSStatus FSNewAliasForPath(const QByteArray& path, AliasHandle* alias) {
    if (!alias)
        return paramErr;
    FSRef ref;
    if (OSStatus status = FSPathMakeRef(path, &ref); status != noErr)
        return status;
    const auto made = FSRefRecordedItem(&ref);
    if (!made)
        return fnfErr;
    *alias = aliasBytes(made->path, made->stamp.identity);
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
    FSRef found;
    if (path.isEmpty() || FSPathMakeRef(path, &found) != noErr)
        return fnfErr;
    const auto made = FSRefRecordedItem(&found);
    if (!made || made->stamp.identity != stored)
        return fnfErr;
    if (wasChanged)
        *wasChanged = false;
    *target = found;
    return noErr;
}
