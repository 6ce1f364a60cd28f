#include "platform/local/files/FileLock.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>

namespace platform {

namespace {

constexpr std::chrono::milliseconds kRetry{20};
constexpr int kAsideNames = 1000;

int openLockFile(const QByteArray& path) {
    return ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
}

QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

bool MoveAside(const QString& path, const QString& suffix) {
    const QByteArray from = QFile::encodeName(path);
    for (int n = 1; n <= kAsideNames; ++n) {
        const QString aside = path + suffix + (n == 1 ? QString() : QStringLiteral("-%1").arg(n));
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, QFile::encodeName(aside).constData(),
                        RENAME_NOREPLACE) == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

std::optional<FileLock> FileLock::acquire(const QString& path, std::chrono::milliseconds limit,
                                          QString* error) {
    const QByteArray name = QFile::encodeName(path);
    FileDescriptor fd;
    for (int attempt = 0; attempt < 2 && !fd.valid(); ++attempt) {
        fd = FileDescriptor(openLockFile(name));
        struct stat opened;
        if (fd.valid() && ::fstat(fd.get(), &opened) == 0 && S_ISREG(opened.st_mode))
            break;
        const int failure = fd.valid() ? EINVAL : errno;
        fd.reset();
        if (failure != ELOOP && failure != EISDIR && failure != ENXIO && failure != EINVAL) {
            errno = failure;
            break;
        }
        // Checked again before it is moved: another process may have put a lock file in its
        // place meanwhile, which must stay.
        struct stat there;
        if (attempt == 0 && ::lstat(name.constData(), &there) == 0 && !S_ISREG(there.st_mode))
            MoveAside(path, QStringLiteral(".unusable"));
        errno = failure;
    }
    if (!fd.valid()) {
        if (error)
            *error =
                QStringLiteral("The lock file %1 cannot be opened: %2").arg(path, reason(errno));
        return std::nullopt;
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK) {
            if (error)
                *error = QStringLiteral("%1 cannot be locked: %2").arg(path, reason(errno));
            return std::nullopt;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            if (error)
                *error = QStringLiteral("Another program has held %1 for too long.").arg(path);
            return std::nullopt;
        }
        std::this_thread::sleep_for(kRetry);
    }
    return FileLock(std::move(fd));
}

} // namespace platform
