#include "platform/local/files/CustomIconStore.h"

#include "platform/local/files/AtomicFileDevice.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace {

std::optional<QString> WritePng(const QImage& picture, const QString& iconFolder) {
    if (!QDir().mkpath(iconFolder))
        return std::nullopt;
    QFile::setPermissions(iconFolder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QByteArray png;
    {
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG"))
            return std::nullopt;
    }
    const QString name =
        QString::fromLatin1(QCryptographicHash::hash(png, QCryptographicHash::Sha256).toHex()) +
        QStringLiteral(".png");
    const QString file = QDir(iconFolder).filePath(name);
    if (QFileInfo(file).size() == png.size())
        return file;
    if (!platform::WriteFileAtomically(file, png))
        return std::nullopt;
    return file;
}

} // namespace

std::optional<QString> StoreCustomIcon(const QString& path, const QImage& picture,
                                       const QString& iconFolder) {
    if (picture.isNull() || iconFolder.isEmpty())
        return std::nullopt;
    const QByteArray item = QFile::encodeName(path);
    // Refused before anything is written: an item that is gone, that is not a file or folder
    // (Linux keeps user attributes on nothing else, links included), or cannot take the
    // attribute.
    struct stat status;
    if (::lstat(item.constData(), &status) != 0 ||
        (!S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode)))
        return std::nullopt;
    if (::lgetxattr(item.constData(), kCustomIconAttribute, nullptr, 0) < 0 && errno != ENODATA)
        return std::nullopt;
    const QImage fitted =
        picture.width() > kMaxCustomIconSide || picture.height() > kMaxCustomIconSide
            ? picture.scaled(kMaxCustomIconSide, kMaxCustomIconSide, Qt::KeepAspectRatio,
                             Qt::SmoothTransformation)
            : picture;
    const auto file = WritePng(fitted, iconFolder);
    if (!file)
        return std::nullopt;
    const QByteArray value = QFile::encodeName(*file);
    if (::lsetxattr(item.constData(), kCustomIconAttribute, value.constData(), size_t(value.size()),
                    0) != 0)
        return std::nullopt;
    return file;
}

bool ClearCustomIcon(const QString& path) {
    const QByteArray item = QFile::encodeName(path);
    return ::lremovexattr(item.constData(), kCustomIconAttribute) == 0 || errno == ENODATA;
}

std::optional<QString> CustomIconFile(const QString& path) {
    const QByteArray item = QFile::encodeName(path);
    char value[4096];
    const ssize_t size = ::lgetxattr(item.constData(), kCustomIconAttribute, value, sizeof value);
    if (size <= 0)
        return std::nullopt;
    const QString file = QFile::decodeName(QByteArray(value, int(size)));
    if (!QFileInfo(file).isFile())
        return std::nullopt;
    return file;
}
