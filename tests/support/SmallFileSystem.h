// A small file system of the test's own that can be filled to the byte, for the writers that
// must leave a user's file as it was when the disk is full.
//
// A tmpfs is mounted in a new folder. Mounting needs the test to run in a mount namespace of its
// own, as root there: its test command is started through `unshare -rm` (tests/support/
// CMakeLists.txt's velmora_add_full_disk_test), so the mount is gone with the process.
#pragma once

#include <QString>
#include <QTemporaryDir>

namespace fixtures {

class SmallFileSystem {
public:
    explicit SmallFileSystem(qint64 bytes);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    // False, with the reason in error(), when the file system could not be mounted.
    bool isMounted() const { return m_mounted; }
    QString error() const { return m_error; }
    QString path() const { return m_folder.path(); }

    // Fills the file system with a filler file until exactly `freeBytes` (a multiple of the
    // page size) are left. False when it cannot.
    bool fill(qint64 freeBytes = 0);
    // Removes the filler.
    void empty();
    // The names in the file system's top folder, the filler's left out, sorted.
    QStringList names() const;

private:
    QTemporaryDir m_folder;
    bool m_mounted = false;
    QString m_error;
};

} // namespace fixtures
