#include "platform/linux/SelectionFile.h"

#include "platform/local/files/AtomicFile.h"
#include "platform/local/files/FileDescriptor.h"
#include "platform/local/files/FileUri.h"

#include <QList>

#include <chrono>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::linuxdesk {

namespace {

constexpr char kFileName[] = "finder-selection";
constexpr char kLockName[] = "finder-selection.lock";
// A write takes milliseconds; a lock held longer belongs to a writer that is stuck.
constexpr auto kLockWait = std::chrono::seconds(2);
constexpr auto kLockRetry = std::chrono::milliseconds(20);

QByteArray joinPath(QByteArray folder, const char* name) {
    while (folder.endsWith('/'))
        folder.chop(1);
    return folder + '/' + name;
}

QString shown(const QByteArray& path) {
    return QString::fromUtf8(path);
}

bool fail(QString* error, const QString& message) {
    if (error)
        *error = message;
    return false;
}

bool failErrno(QString* error, const QString& what, int err) {
    return fail(error, what + QStringLiteral(": ") + qt_error_string(err));
}

// mkdir -p, giving every folder it creates mode 0700.
bool makeFolders(const QByteArray& folder, QString* error) {
    for (qsizetype i = 1; i <= folder.size(); ++i) {
        if (i < folder.size() && folder[i] != '/')
            continue;
        if (folder[i - 1] == '/')
            continue;
        const QByteArray prefix = folder.left(i);
        if (::mkdir(prefix.constData(), 0700) == 0 || errno == EEXIST)
            continue;
        // Some file systems refuse even to try (read-only, no write permission) before
        // noticing the folder is already there.
        const int err = errno;
        struct stat st {};
        if (::stat(prefix.constData(), &st) != 0)
            return failErrno(error, QStringLiteral("cannot create ") + shown(prefix), err);
    }
    return true;
}

// Opens the selection folder, refusing a link and a folder of another user, and gives its mode.
bool openOwnFolder(const QByteArray& folder, FileDescriptor& fd, mode_t* mode, QString* error) {
    fd =
        FileDescriptor(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid()) {
        const int err = errno;
        struct stat st {};
        if (::lstat(folder.constData(), &st) == 0 && S_ISLNK(st.st_mode))
            return fail(error,
                        QStringLiteral("refusing to use %1: it is a symlink").arg(shown(folder)));
        if (err == ENOTDIR)
            return fail(error, QStringLiteral("%1 is not a folder").arg(shown(folder)));
        return failErrno(error, QStringLiteral("cannot open ") + shown(folder), err);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return failErrno(error, QStringLiteral("cannot examine ") + shown(folder), errno);
    if (st.st_uid != ::geteuid())
        return fail(error, QStringLiteral("refusing to use %1: it belongs to user id %2")
                               .arg(shown(folder))
                               .arg(st.st_uid));
    *mode = st.st_mode;
    return true;
}

bool openFolder(const QByteArray& folder, FileDescriptor& fd, QString* error) {
    mode_t mode = 0;
    if (!openOwnFolder(folder, fd, &mode, error))
        return false;
    // The selection tells what the user is working on: keep it to the user.
    if ((mode & 077) != 0 && ::fchmod(fd.get(), 0700) != 0)
        return failErrno(error, QStringLiteral("cannot restrict ") + shown(folder), errno);
    return true;
}

// The folder a reader may trust: what the writer would write into, and kept to the user as the
// writer leaves it. Anyone else who could write there could choose what Velmora acts on.
bool openFolderForReading(const QByteArray& folder, FileDescriptor& fd) {
    mode_t mode = 0;
    return openOwnFolder(folder, fd, &mode, nullptr) && (mode & 077) == 0;
}

bool lockForWriting(int folderFd, FileDescriptor& lock, QString* error) {
    lock = FileDescriptor(
        ::openat(folderFd, kLockName, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!lock.valid())
        return failErrno(error, QStringLiteral("cannot open the selection lock"), errno);
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    while (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return failErrno(error, QStringLiteral("cannot lock the selection"), errno);
        if (std::chrono::steady_clock::now() >= deadline)
            return fail(error, QStringLiteral("another program has been writing the selection "
                                              "for too long; try again"));
        std::this_thread::sleep_for(kLockRetry);
    }
    return true;
}

QByteArray selectionContents(const std::vector<QByteArray>& absolutePaths) {
    QByteArray contents;
    for (const QByteArray& path : absolutePaths)
        contents += encodeFileUri(path) + '\n';
    return contents;
}

bool replaceSelection(int folderFd, const QByteArray& contents, QString* error) {
    AtomicFile file(folderFd, kFileName, AtomicFile::Existing::Replace,
                    AtomicFile::Permissions::Private);
    if (file.write(contents.constData(), std::size_t(contents.size())) && file.commit())
        return true;
    return failErrno(error, QStringLiteral("cannot write the selection"), file.error());
}

} // namespace

QByteArray selectionFolder(const QByteArray& runtimeDir, const QByteArray& cacheHome,
                           const QByteArray& home) {
    // Relative values are invalid in the XDG base directory rules and must be ignored.
    if (runtimeDir.startsWith('/'))
        return joinPath(runtimeDir, "velmora");
    if (cacheHome.startsWith('/'))
        return joinPath(cacheHome, "velmora");
    if (home.startsWith('/'))
        return joinPath(home, ".cache/velmora");
    return {};
}

QByteArray selectionFilePath(const QByteArray& runtimeDir, const QByteArray& cacheHome,
                             const QByteArray& home) {
    const QByteArray folder = selectionFolder(runtimeDir, cacheHome, home);
    return folder.isEmpty() ? folder : joinPath(folder, kFileName);
}

std::vector<QByteArray> parseSelection(const QByteArray& contents) {
    std::vector<QByteArray> paths;
    // Blank lines, '#' comments and garbage all fail to decode and drop out here.
    for (const QByteArray& line : contents.split('\n')) {
        if (std::optional<QByteArray> path = decodeFileUri(line))
            paths.push_back(std::move(*path));
    }
    return paths;
}

std::optional<std::vector<QByteArray>> readSelectionFile(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (path.contains('\0') || slash < 0)
        return std::nullopt;
    FileDescriptor folderFd(-1);
    if (!openFolderForReading(slash == 0 ? QByteArray("/") : path.left(slash), folderFd))
        return std::nullopt;
    // O_NONBLOCK: opening a planted FIFO must not wait for a writer that never comes.
    FileDescriptor fd(::openat(folderFd.get(), path.constData() + slash + 1,
                               O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    if (!fd.valid())
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
        st.st_size > kMaxSelectionFileSize)
        return std::nullopt;

    // The file may still grow after fstat, so the limit is enforced on what is read.
    QByteArray contents;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        if (contents.size() + n > kMaxSelectionFileSize)
            return std::nullopt;
        contents.append(buffer, n);
    }
    return parseSelection(contents);
}

bool writeSelectionFile(const QByteArray& folder, const std::vector<QByteArray>& absolutePaths,
                        QString* error) {
    if (!folder.startsWith('/') || folder.contains('\0'))
        return fail(error, QStringLiteral("no usable folder for the selection: \"%1\" is not an "
                                          "absolute path")
                               .arg(shown(folder)));
    for (const QByteArray& path : absolutePaths) {
        if (!path.startsWith('/') || path.contains('\0'))
            return fail(error, QStringLiteral("not an absolute path: \"%1\"").arg(shown(path)));
    }
    if (!makeFolders(folder, error))
        return false;
    FileDescriptor folderFd(-1);
    if (!openFolder(folder, folderFd, error))
        return false;
    FileDescriptor lock(-1);
    if (!lockForWriting(folderFd.get(), lock, error))
        return false;
    return replaceSelection(folderFd.get(), selectionContents(absolutePaths), error);
}

bool selectionBeingWritten(const QByteArray& folder) {
    if (!folder.startsWith('/'))
        return false;
    const QByteArray lockPath = joinPath(folder, kLockName);
    FileDescriptor lock(::open(lockPath.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!lock.valid())
        return false;
    while (::flock(lock.get(), LOCK_SH | LOCK_NB) != 0) {
        if (errno != EINTR)
            return errno == EWOULDBLOCK;
    }
    return false;
}

} // namespace platform::linuxdesk
