#include "platform/local/files/PrivateFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

namespace {
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
} // namespace

PrivateFolder::PrivateFolder(FileDescriptor fd, QByteArray path)
    : m_fd(std::move(fd)), m_path(std::move(path)) {}

std::optional<PrivateFolder> PrivateFolder::checked(FileDescriptor fd, QByteArray path) {
    struct stat st;
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != ::geteuid() || (st.st_mode & 077) != 0)
        return std::nullopt;
    return PrivateFolder(std::move(fd), std::move(path));
}

std::optional<PrivateFolder> PrivateFolder::open(const QByteArray& path) {
    if (!path.startsWith('/') || path.contains('\0'))
        return std::nullopt;
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return std::nullopt;
    return checked(FileDescriptor(::open(path.constData(), kFolderFlags)), path);
}

std::optional<PrivateFolder> PrivateFolder::subfolder(const QByteArray& name,
                                                      Creation creation) const {
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/') || name.contains('\0'))
        return std::nullopt;
    if (::mkdirat(m_fd.get(), name.constData(), 0700) != 0 &&
        (errno != EEXIST || creation == Creation::New))
        return std::nullopt;
    return checked(FileDescriptor(::openat(m_fd.get(), name.constData(), kFolderFlags)),
                   m_path.endsWith('/') ? m_path + name : m_path + '/' + name);
}

} // namespace platform
