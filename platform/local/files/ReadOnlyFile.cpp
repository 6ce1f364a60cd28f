#include "platform/local/files/ReadOnlyFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Keeps `fd` when it is a regular file of at most `maxSize` bytes, made blocking again for its
// reads; closes it otherwise.
int KeepRegularFile(int fd, qint64 maxSize, struct stat* status) {
    if (fd < 0)
        return -1;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxSize) {
        close(fd);
        return -1;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        close(fd);
        return -1;
    }
    if (status)
        *status = st;
    return fd;
}

constexpr int kReadFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;

std::unique_ptr<QFile> FileOf(int fd) {
    if (fd < 0)
        return nullptr;
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        close(fd);
        return nullptr;
    }
    return file;
}

// The open file to its end. A file that grows past `maxSize` while it is read is refused
// rather than read without end.
std::optional<QByteArray> ReadAll(QFile& file, qint64 maxSize) {
    constexpr qint64 kChunk = 1 << 20;
    QByteArray content;
    content.reserve(qsizetype(std::min(file.size(), maxSize)));
    while (content.size() <= maxSize) {
        const QByteArray chunk = file.read(std::min(kChunk, maxSize - content.size()) + 1);
        if (chunk.isEmpty())
            break;
        content += chunk;
    }
    if (content.size() > maxSize || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return content;
}

} // namespace

int OpenRegularFileForReading(const QByteArray& path, qint64 maxSize, struct stat* status) {
    return KeepRegularFile(open(path.constData(), kReadFlags), maxSize, status);
}

std::unique_ptr<QFile> OpenRegularFile(const QString& path, qint64 maxSize) {
    return FileOf(OpenRegularFileForReading(QFile::encodeName(path), maxSize));
}

std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxSize) {
    const auto file = OpenRegularFile(path, maxSize);
    if (!file)
        return std::nullopt;
    return ReadAll(*file, maxSize);
}

ConfinedFolder::ConfinedFolder(const QString& folder)
    : m_fd(open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC)) {}

ConfinedFolder::~ConfinedFolder() {
    if (m_fd >= 0)
        close(m_fd);
}

std::optional<QByteArray> ConfinedFolder::read(const QString& relativePath, qint64 maxSize) const {
    if (m_fd < 0 || relativePath.isEmpty())
        return std::nullopt;
    open_how how{};
    how.flags = kReadFlags;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    const QByteArray name = QFile::encodeName(relativePath);
    // The kernel answers EAGAIN when a rename elsewhere raced the walk and it cannot vouch that
    // the path stayed inside; a few tries, then refused.
    int fd = -1;
    for (int attempt = 0; attempt < 3 && fd < 0; ++attempt) {
        fd = int(syscall(SYS_openat2, m_fd, name.constData(), &how, sizeof how));
        if (fd < 0 && errno != EAGAIN)
            break;
    }
    const auto file = FileOf(KeepRegularFile(fd, maxSize, nullptr));
    if (!file)
        return std::nullopt;
    return ReadAll(*file, maxSize);
}
