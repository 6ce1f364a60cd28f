#include "platform/local/ReadOnlyFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int OpenRegularFileForReading(const QByteArray& path) {
    const int fd = open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

std::unique_ptr<QFile> OpenRegularFile(const QString& path) {
    const int fd = OpenRegularFileForReading(QFile::encodeName(path));
    if (fd < 0)
        return nullptr;
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        close(fd);
        return nullptr;
    }
    return file;
}

std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxSize) {
    const auto file = OpenRegularFile(path);
    if (!file || file->size() > maxSize)
        return std::nullopt;
    // One byte more than the cap is asked for: a file that grows while it is read is refused
    // rather than read without end.
    QByteArray content = file->read(maxSize + 1);
    if (content.size() > maxSize || file->error() != QFileDevice::NoError)
        return std::nullopt;
    return content;
}
