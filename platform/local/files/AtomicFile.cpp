#include "platform/local/files/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::size_t kNameMax = NAME_MAX;
constexpr int kNameTries = 100;

// ".<name>.XXXXXX" kept within the longest name a folder entry may have: a file whose own name
// is already that long still gets a temporary name beside it.
std::string temporaryName(const std::string& name) {
    static thread_local std::mt19937 random{std::random_device{}()};
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::uniform_int_distribution<int> pick(0, int(sizeof kLetters) - 2);
    std::string suffix = ".";
    for (int i = 0; i < 6; ++i)
        suffix += kLetters[pick(random)];
    const std::size_t room = kNameMax - 1 - suffix.size();
    return "." + name.substr(0, room) + suffix;
}

bool isSingleComponent(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos && name.size() <= kNameMax;
}

} // namespace

AtomicFile::AtomicFile(const std::string& path, Existing existing, Permissions permissions,
                       Durability durability)
    : m_durability(durability) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? std::string("/")
                                                          : path.substr(0, slash);
    m_name = slash == std::string::npos ? path : path.substr(slash + 1);
    m_folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_folderFd < 0) {
        m_error = errno;
        return;
    }
    m_ownsFolder = true;
    open(existing, permissions);
}

AtomicFile::AtomicFile(int folderFd, const std::string& name, Existing existing,
                       Permissions permissions)
    : m_folderFd(folderFd), m_name(name) {
    open(existing, permissions);
}

AtomicFile::~AtomicFile() {
    discard();
    if (m_ownsFolder && m_folderFd >= 0)
        ::close(m_folderFd);
}

void AtomicFile::open(Existing existing, Permissions permissions) {
    m_existing = existing;
    if (!isSingleComponent(m_name)) {
        m_error = EINVAL;
        return;
    }
    if (permissions == Permissions::Private) {
        m_mode = 0600;
        m_keepMode = true;
    } else {
        struct stat before;
        if (::fstatat(m_folderFd, m_name.c_str(), &before, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(before.st_mode)) {
            m_mode = before.st_mode & 0777;
            m_keepMode = true;
        }
    }
    // Made 0666 so that the kernel applies the umask itself: reading the umask means changing
    // it, which other threads would see.
    const mode_t createMode = permissions == Permissions::Private ? 0600 : 0666;
    for (int attempt = 0; attempt < kNameTries; ++attempt) {
        const std::string candidate = temporaryName(m_name);
        m_fd =
            ::openat(m_folderFd, candidate.c_str(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, createMode);
        if (m_fd >= 0) {
            m_temporaryName = candidate;
            return;
        }
        if (errno != EEXIST) {
            m_error = errno;
            return;
        }
    }
    m_error = EEXIST;
}

bool AtomicFile::write(const void* data, std::size_t size) {
    if (m_error != 0 || m_fd < 0 || m_committed)
        return false;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(m_fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            m_error = errno;
            return false;
        }
        if (written == 0) {
            m_error = ENOSPC;
            return false;
        }
        bytes += written;
        size -= std::size_t(written);
    }
    return true;
}

void AtomicFile::fail(int error) {
    if (m_error == 0)
        m_error = error != 0 ? error : EIO;
}

bool AtomicFile::commit() {
    if (m_committed)
        return false;
    if (m_error == 0 && m_fd < 0)
        m_error = EBADF;
    if (m_error == 0 && m_keepMode && ::fchmod(m_fd, mode_t(m_mode)) != 0)
        m_error = errno;
    // The data must be on the disk before the rename can make it the file: a crash between the
    // two would otherwise leave an empty file where the old one was.
    if (m_error == 0 && m_durability == Durability::Synced && ::fsync(m_fd) != 0)
        m_error = errno;
    if (m_fd >= 0) {
        // Some file systems (NFS) report a failed write only when the file is closed.
        if (::close(m_fd) != 0 && m_error == 0)
            m_error = errno;
        m_fd = -1;
    }
    if (m_error == 0) {
        int renamed;
        if (m_existing == Existing::Replace) {
            renamed = ::renameat(m_folderFd, m_temporaryName.c_str(), m_folderFd, m_name.c_str());
        } else {
            renamed = ::renameat2(m_folderFd, m_temporaryName.c_str(), m_folderFd, m_name.c_str(),
                                  RENAME_NOREPLACE);
            // A file system without the flag: a hard link refuses an existing name as well.
            if (renamed != 0 && errno == EINVAL) {
                renamed =
                    ::linkat(m_folderFd, m_temporaryName.c_str(), m_folderFd, m_name.c_str(), 0);
                if (renamed == 0)
                    ::unlinkat(m_folderFd, m_temporaryName.c_str(), 0);
            }
        }
        if (renamed != 0)
            m_error = errno;
    }
    if (m_error != 0) {
        discard();
        return false;
    }
    m_committed = true;
    // Only makes the rename survive a crash; every reader sees the new file already.
    if (m_durability == Durability::Synced)
        ::fsync(m_folderFd);
    return true;
}

std::string AtomicFile::errorString() const {
    return m_error == 0 ? std::string() : std::string(std::strerror(m_error));
}

void AtomicFile::discard() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_committed && !m_temporaryName.empty()) {
        ::unlinkat(m_folderFd, m_temporaryName.c_str(), 0);
        m_temporaryName.clear();
    }
}

bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size,
                         AtomicFile::Existing existing, AtomicFile::Permissions permissions,
                         int* error) {
    AtomicFile file(path, existing, permissions);
    const bool written = file.write(data, size) && file.commit();
    if (error)
        *error = file.error();
    return written;
}

} // namespace platform
