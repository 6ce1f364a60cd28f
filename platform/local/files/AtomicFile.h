// Writing a file whole or not at all: the one writer of every file Velmora writes.
//
// The content goes into a new temporary file in the folder where the file is to stand, every
// write checked, then synced to disk and renamed into place. Until that rename whatever stood at
// the path stays as it was, byte for byte; a failure on the way (a full disk, a quota, an I/O
// error, a folder gone) removes the temporary file and is reported, never passed over as
// success. Written with the standard library alone, so that the helper programs beside Velmora
// use it too.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

class AtomicFile {
public:
    // What may stand at the path when the new file is put in place.
    enum class Existing {
        Replace, // replaced; a symbolic link there is replaced itself, not what it names
        Keep,    // left alone: the commit then fails with EEXIST
    };
    // The permissions the new file gets.
    enum class Permissions {
        AsBefore, // those of the file it replaces, else a new file's (0666 less the umask)
        Private,  // 0600, whatever stood there
    };

    // Whether the content is synced to the disk before the rename.
    enum class Durability {
        Synced,    // a crash after the commit never leaves an empty or partial file
        CacheOnly, // for files that are only made again when lost (thumbnails): no disk flush
    };

    // A new file for `path` (absolute or relative to the working folder).
    explicit AtomicFile(const std::string& path, Existing existing = Existing::Replace,
                        Permissions permissions = Permissions::AsBefore,
                        Durability durability = Durability::Synced);
    // A new file named `name` (one path component) in the folder open at `folderFd`, for
    // writers that hold their folder open so that no path can be swapped under them.
    AtomicFile(int folderFd, const std::string& name, Existing existing, Permissions permissions);
    // An uncommitted temporary file is removed.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Appends the bytes. After a failure every later write and the commit fail too, so a
    // writer may check only its last call.
    bool write(const void* data, std::size_t size);
    bool write(const std::string& bytes) { return write(bytes.data(), bytes.size()); }
    // Syncs the file, closes it and renames it into place; false, with the temporary file
    // removed, when anything failed on the way.
    bool commit();

    // Marks the file failed with `error` (an errno value), for a writer that found a failure
    // of its own (an encoder that could not encode): the commit then fails.
    void fail(int error);

    // The temporary file's descriptor, for fstat and nothing else: every write goes through
    // write(), which checks it. -1 when it could not be made.
    int descriptor() const { return m_fd; }

    // The errno of the first failure, 0 while none.
    int error() const { return m_error; }
    // The first failure in words ("No space left on device"); empty while none.
    std::string errorString() const;

private:
    void open(Existing existing, Permissions permissions);
    void discard();

    int m_folderFd = -1;
    bool m_ownsFolder = false;
    int m_fd = -1;
    std::string m_name;
    std::string m_temporaryName;
    Existing m_existing = Existing::Replace;
    unsigned m_mode = 0;
    bool m_keepMode = false;
    Durability m_durability = Durability::Synced;
    bool m_committed = false;
    int m_error = 0;
};

// The bytes as the whole content of the file at `path`; false when it could not be written,
// `error` (when given) then gets the errno.
bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size,
                         AtomicFile::Existing existing = AtomicFile::Existing::Replace,
                         AtomicFile::Permissions permissions = AtomicFile::Permissions::AsBefore,
                         int* error = nullptr);

} // namespace platform
