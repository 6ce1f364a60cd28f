// Folders only the user can change, for the files Velmora writes for itself.
//
// A folder that another user could have put in place, or could write into, would let that user
// swap the files Velmora writes or reads back. So a private folder is refused unless it is a
// real folder (not a symbolic link), owned by the user, and closed to group and others (no
// access bits for them at all); new ones are made with mode 0700. A folder is checked through
// the descriptor it is opened with, and subfolders are reached from that descriptor, so no path
// can be swapped between the check and the use.
#pragma once

#include "platform/local/files/FileDescriptor.h"

#include <QByteArray>
#include <optional>

namespace platform {

class PrivateFolder {
public:
    enum class Creation {
        IfMissing, // an existing private folder is used as it is
        New,       // the folder must not exist yet
    };

    // The folder at the absolute `path`, made when missing (its parents must exist).
    static std::optional<PrivateFolder> open(const QByteArray& path);
    // The subfolder `name` (one path component) of this folder.
    std::optional<PrivateFolder> subfolder(const QByteArray& name, Creation creation) const;

    const QByteArray& path() const { return m_path; }

private:
    PrivateFolder(FileDescriptor fd, QByteArray path);
    static std::optional<PrivateFolder> checked(FileDescriptor fd, QByteArray path);
    FileDescriptor m_fd;
    QByteArray m_path;
};

} // namespace platform
