#include "tests/support/SmallFileSystem.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace fixtures {

namespace {

const char kFiller[] = ".filler";

qint64 freeBytesOf(const QString& path) {
    struct statvfs info;
    if (::statvfs(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return qint64(info.f_bavail) * qint64(info.f_frsize);
}

} // namespace

SmallFileSystem::SmallFileSystem(qint64 bytes) {
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0700";
    if (::mount("tmpfs", QFile::encodeName(m_folder.path()).constData(), "tmpfs", 0,
                options.constData()) != 0) {
        m_error = QStringLiteral("cannot mount a tmpfs (run the test through unshare -rm): ") +
                  QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    m_mounted = true;
}

SmallFileSystem::~SmallFileSystem() {
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder.path()).constData(), MNT_DETACH);
}

bool SmallFileSystem::fill(qint64 freeBytes) {
    empty();
    const QByteArray filler = QFile::encodeName(m_folder.path() + u'/' + QLatin1String(kFiller));
    const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    static const char block[4096] = {};
    qint64 written = 0;
    for (;;) {
        const ssize_t n = ::write(fd, block, sizeof block);
        if (n <= 0)
            break;
        written += n;
    }
    // Give back just what is asked for: tmpfs counts whole pages.
    const bool cut = ::ftruncate(fd, std::max<qint64>(0, written - freeBytes)) == 0;
    ::close(fd);
    return cut && freeBytesOf(m_folder.path()) == freeBytes;
}

void SmallFileSystem::empty() {
    QFile::remove(m_folder.path() + u'/' + QLatin1String(kFiller));
}

QStringList SmallFileSystem::names() const {
    QStringList found =
        QDir(m_folder.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    found.removeAll(QLatin1String(kFiller));
    return found;
}

} // namespace fixtures
