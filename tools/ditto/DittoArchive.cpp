// The zip writing behind velmora-ditto, done with libarchive.
//
// What ditto on a Mac writes, and what this writes:
// - Folders are entries ending in "/", symbolic links are stored as links whose content is
//   their target, and every entry keeps its mode and modification time. Hard links are stored
//   as separate plain files, as readers of zip archives expect.
// - Names keep their bytes exactly. A name that is valid UTF-8 is flagged as UTF-8; one that is
//   not (Linux allows any bytes) is stored unflagged, since readers refuse a flagged name that
//   does not decode.
// - ditto deflates every file. Files whose names say they are compressed already (pictures,
//   movies, sound, archives) are stored here instead: deflating them saves next to nothing and
//   takes most of the time.
// - Sockets, FIFOs and device nodes cannot be held by a zip archive, and ditto refuses them
//   too: archiving fails rather than leave them out unnoticed.
#include "tools/ditto/DittoArchive.h"

#include "platform/local/files/AtomicFile.h"

#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <dirent.h>
#include <fcntl.h>
#include <iterator>
#include <limits.h>
#include <locale.h>
#include <memory>
#include <new>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr size_t kReadBufferSize = 256 * 1024;

constexpr std::string_view kCompressedExtensions[] = {
    "7z",   "aac", "avif", "bz2", "docx", "epub", "flac", "gif",  "gz",  "heic", "heif",
    "jpeg", "jpg", "jxl",  "m4a", "m4v",  "mkv",  "mov",  "mp3",  "mp4", "odt",  "ogg",
    "opus", "png", "pptx", "rar", "tgz",  "webm", "webp", "xlsx", "xz",  "zip",  "zst"};

struct Failure {
    std::string message;
};

Failure PathFailure(const std::string& path, int error) {
    return Failure{path + ": " + std::strerror(error)};
}

bool IsCompressedAlready(const std::string& name) {
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || name.find('/', dot) != std::string::npos) {
        return false;
    }
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(std::begin(kCompressedExtensions), std::end(kCompressedExtensions),
                     extension) != std::end(kCompressedExtensions);
}

// libarchive's zip writer flags a non-ASCII name as UTF-8 exactly when the calling thread's
// character type is UTF-8, and converts nothing without a header charset option (which would
// replace bytes that do not decode). Switching the thread's locale per entry so flags the names
// that are UTF-8 and keeps every name's bytes.
class NameLocale {
public:
    NameLocale()
        : utf8_(newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr)),
          plain_(newlocale(LC_CTYPE_MASK, "C", nullptr)),
          previous_(uselocale(plain_ != nullptr ? plain_ : LC_GLOBAL_LOCALE)) {}
    ~NameLocale() {
        uselocale(previous_);
        for (locale_t owned : {utf8_, plain_}) {
            if (owned != nullptr) {
                freelocale(owned);
            }
        }
    }
    NameLocale(const NameLocale&) = delete;
    NameLocale& operator=(const NameLocale&) = delete;

    void UseFor(const std::string& name) {
        const bool utf8 = utf8_ != nullptr && IsUtf8(name);
        uselocale(utf8 ? utf8_ : plain_ != nullptr ? plain_ : LC_GLOBAL_LOCALE);
    }

private:
    bool IsUtf8(const std::string& name) {
        uselocale(utf8_);
        std::mbstate_t state{};
        const char* next = name.data();
        size_t left = name.size();
        while (left > 0) {
            wchar_t character = 0;
            const size_t used = std::mbrtowc(&character, next, left, &state);
            // glibc decodes sequences past U+10FFFF, which UTF-8 does not allow.
            if (used == static_cast<size_t>(-1) || used == static_cast<size_t>(-2) || used == 0 ||
                static_cast<unsigned long>(character) > 0x10FFFF) {
                return false;
            }
            next += used;
            left -= used;
        }
        return true;
    }

    locale_t utf8_;
    locale_t plain_;
    locale_t previous_;
};

using FileId = std::pair<dev_t, ino_t>;

FileId IdOf(const struct stat& status) {
    return {status.st_dev, status.st_ino};
}

struct EntryDeleter {
    void operator()(archive_entry* entry) const { archive_entry_free(entry); }
};
using Entry = std::unique_ptr<archive_entry, EntryDeleter>;

class ZipWriter {
public:
    ZipWriter(platform::AtomicFile& file, std::string archivePath, std::vector<FileId> leftOut,
              const DittoOptions& options)
        : archive_(archive_write_new()), archivePath_(std::move(archivePath)),
          leftOut_(std::move(leftOut)), options_(options), buffer_(kReadBufferSize) {
        if (archive_write_set_format_zip(archive_) != ARCHIVE_OK ||
            archive_write_set_bytes_in_last_block(archive_, 1) != ARCHIVE_OK ||
            archive_write_open(archive_, &file, nullptr, WriteBlock, nullptr) != ARCHIVE_OK) {
            throw ArchiveFailure();
        }
    }
    ~ZipWriter() { archive_write_free(archive_); }
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // Adds PATH under NAME, and everything in it when it is a folder; an empty NAME puts a
    // folder's contents at the top. DEVICE is the source's file system.
    void Add(const std::string& path, const std::string& name, const struct stat& status,
             dev_t device) {
        if (S_ISDIR(status.st_mode)) {
            AddFolder(path, name, status, device);
        } else if (S_ISREG(status.st_mode)) {
            AddFile(path, name, status);
        } else if (S_ISLNK(status.st_mode)) {
            AddLink(path, name, status);
        } else {
            throw Failure{path + ": " + KindOf(status.st_mode) +
                          " cannot be stored in a zip archive"};
        }
    }

    void Close() {
        if (archive_write_close(archive_) != ARCHIVE_OK) {
            throw ArchiveFailure();
        }
    }

private:
    static la_ssize_t WriteBlock(struct archive* archive, void* file, const void* data,
                                 size_t size) {
        auto* out = static_cast<platform::AtomicFile*>(file);
        if (!out->write(data, size)) {
            archive_set_error(archive, out->error(), "%s", out->errorString().c_str());
            return -1;
        }
        return la_ssize_t(size);
    }

    static std::string KindOf(mode_t mode) {
        if (S_ISSOCK(mode)) {
            return "a socket";
        }
        if (S_ISFIFO(mode)) {
            return "a FIFO";
        }
        if (S_ISCHR(mode) || S_ISBLK(mode)) {
            return "a device node";
        }
        return "a file of unknown type";
    }

    Failure ArchiveFailure() {
        const int error = archive_errno(archive_);
        const char* what = archive_error_string(archive_);
        std::string message = archivePath_ + ": ";
        if (what != nullptr) {
            message += what;
            if (error > 0) {
                message += std::string(" (") + std::strerror(error) + ")";
            }
        } else {
            message += error > 0 ? std::strerror(error) : "could not be written";
        }
        return Failure{std::move(message)};
    }

    Entry NewEntry(const std::string& name, const struct stat& status) {
        Entry entry(archive_entry_new());
        archive_entry_copy_pathname(entry.get(), name.c_str());
        archive_entry_set_mode(entry.get(), status.st_mode);
        archive_entry_set_mtime(entry.get(), status.st_mtim.tv_sec, status.st_mtim.tv_nsec);
        archive_entry_set_uid(entry.get(), status.st_uid);
        archive_entry_set_gid(entry.get(), status.st_gid);
        return entry;
    }

    void WriteHeader(archive_entry* entry, const std::string& name) {
        names_.UseFor(name);
        if (archive_write_header(archive_, entry) != ARCHIVE_OK) {
            throw ArchiveFailure();
        }
    }

    void AddFolder(const std::string& path, const std::string& name, const struct stat& status,
                   dev_t device) {
        if (!name.empty()) {
            Entry entry = NewEntry(name + "/", status);
            WriteHeader(entry.get(), name);
        }
        if (options_.sameFileSystem && status.st_dev != device) {
            return;
        }
        const std::string prefix = path.ends_with('/') ? path : path + "/";
        for (const std::string& child : List(path)) {
            const std::string childPath = prefix + child;
            struct stat childStatus {};
            if (lstat(childPath.c_str(), &childStatus) != 0) {
                throw PathFailure(childPath, errno);
            }
            if (std::find(leftOut_.begin(), leftOut_.end(), IdOf(childStatus)) != leftOut_.end()) {
                continue;
            }
            Add(childPath, name.empty() ? child : name + "/" + child, childStatus, device);
        }
    }

    static std::vector<std::string> List(const std::string& path) {
        DIR* folder = opendir(path.c_str());
        if (folder == nullptr) {
            throw PathFailure(path, errno);
        }
        std::vector<std::string> names;
        for (;;) {
            errno = 0;
            const dirent* item = readdir(folder);
            if (item == nullptr) {
                break;
            }
            const std::string_view itemName = item->d_name;
            if (itemName != "." && itemName != "..") {
                names.emplace_back(itemName);
            }
        }
        const int error = errno;
        closedir(folder);
        if (error != 0) {
            throw PathFailure(path, error);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    void AddFile(const std::string& path, const std::string& name, const struct stat& status) {
        const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            throw PathFailure(path, errno);
        }
        try {
            WriteFile(fd, path, name, status);
        } catch (...) {
            close(fd);
            throw;
        }
        close(fd);
    }

    void WriteFile(int fd, const std::string& path, const std::string& name,
                   const struct stat& status) {
        struct stat opened {};
        if (fstat(fd, &opened) != 0) {
            throw PathFailure(path, errno);
        }
        if (!S_ISREG(opened.st_mode) || opened.st_ino != status.st_ino ||
            opened.st_dev != status.st_dev) {
            throw Failure{path + ": was replaced while being archived"};
        }
        const int compression = IsCompressedAlready(name)
                                    ? archive_write_zip_set_compression_store(archive_)
                                    : archive_write_zip_set_compression_deflate(archive_);
        if (compression != ARCHIVE_OK) {
            throw ArchiveFailure();
        }
        Entry entry = NewEntry(name, opened);
        archive_entry_set_size(entry.get(), opened.st_size);
        WriteHeader(entry.get(), name);
        // The size is in the entry's header already: a file that grows while it is read is
        // stored as it was when it was opened, one that shrinks cannot be.
        off_t left = opened.st_size;
        while (left > 0) {
            const size_t wanted = static_cast<size_t>(std::min<off_t>(left, buffer_.size()));
            const ssize_t got = read(fd, buffer_.data(), wanted);
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throw PathFailure(path, errno);
            }
            if (got == 0) {
                throw Failure{path + ": became shorter while being archived"};
            }
            if (archive_write_data(archive_, buffer_.data(), static_cast<size_t>(got)) != got) {
                throw ArchiveFailure();
            }
            left -= got;
        }
    }

    void AddLink(const std::string& path, const std::string& name, const struct stat& status) {
        // st_size is the target's length on Linux, but some file systems report 0.
        std::string target(std::max<size_t>(static_cast<size_t>(status.st_size), 64) + 1, '\0');
        for (;;) {
            const ssize_t length = readlink(path.c_str(), target.data(), target.size());
            if (length < 0) {
                throw PathFailure(path, errno);
            }
            if (static_cast<size_t>(length) < target.size()) {
                target.resize(static_cast<size_t>(length));
                break;
            }
            target.resize(target.size() * 2);
        }
        Entry entry = NewEntry(name, status);
        archive_entry_copy_symlink(entry.get(), target.c_str());
        WriteHeader(entry.get(), name);
    }

    archive* archive_;
    std::string archivePath_;
    std::vector<FileId> leftOut_;
    DittoOptions options_;
    std::vector<char> buffer_;
    NameLocale names_;
};

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string LastComponent(std::string path) {
    while (path.size() > 1 && path.ends_with('/')) {
        path.pop_back();
    }
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The name --keepParent gives the top folder: the source's own, or for "." and the like the
// name of the folder it stands for. The root has none, so its contents are the top.
std::string ParentName(const std::string& source) {
    std::string name = LastComponent(source);
    if (name == "." || name == ".." || name.empty()) {
        char resolved[PATH_MAX];
        if (realpath(source.c_str(), resolved) == nullptr) {
            throw PathFailure(source, errno);
        }
        name = LastComponent(resolved);
    }
    return name == "/" ? std::string() : name;
}

void Archive(const std::string& source, const std::string& archive, const DittoOptions& options,
             platform::AtomicFile& file) {
    // The source named on the command line is followed when it is a link, as a person who
    // chose a link to a folder means that folder; links inside it are stored as links.
    std::string path = source;
    struct stat top {};
    if (lstat(path.c_str(), &top) == 0 && S_ISLNK(top.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(source.c_str(), resolved) == nullptr) {
            throw PathFailure(source, errno);
        }
        path = resolved;
    }
    if (lstat(path.c_str(), &top) != 0) {
        throw PathFailure(source, errno);
    }
    struct stat self {};
    if (fstat(file.descriptor(), &self) != 0) {
        throw PathFailure(archive, errno);
    }
    // The archive may be written inside the folder being archived: neither the file being
    // written nor the one it replaces belongs in it.
    std::vector<FileId> leftOut{IdOf(self)};
    struct stat existing {};
    if (lstat(archive.c_str(), &existing) == 0) {
        leftOut.push_back(IdOf(existing));
    }
    ZipWriter writer(file, archive, std::move(leftOut), options);
    const bool contentsOnTop = S_ISDIR(top.st_mode) && !options.keepParent;
    writer.Add(path, contentsOnTop ? std::string() : ParentName(source), top, top.st_dev);
    writer.Close();
}

} // namespace

std::optional<std::string> WriteZipArchive(const std::string& source, const std::string& archive,
                                           const DittoOptions& options) {
    struct stat existing {};
    if (lstat(archive.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
        return PathFailure(archive, EISDIR).message;
    }
    // Written whole beside the archive's name and put in its place only once complete, so a
    // full disk leaves whatever stood there as it was.
    platform::AtomicFile file(archive);
    if (file.error() != 0) {
        return "cannot create a file in " + FolderOf(archive) + ": " + file.errorString();
    }
    std::optional<std::string> failure;
    try {
        Archive(source, archive, options, file);
    } catch (const Failure& f) {
        failure = f.message;
    } catch (const std::bad_alloc&) {
        failure = source + ": " + std::strerror(ENOMEM);
    }
    if (failure) {
        file.fail(EIO);
    } else if (!file.commit()) {
        failure = PathFailure(archive, file.error()).message;
    }
    return failure;
}
