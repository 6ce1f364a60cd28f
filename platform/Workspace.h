// The workspace: opening files with their default application, and file icons.
#pragma once

#include <QIcon>
#include <QString>
#include <optional>

namespace platform {

class WorkspaceService {
public:
    virtual ~WorkspaceService() = default;
    // Opens the file or folder with its default application; false when that could not start.
    virtual bool openFile(const QString& path) = 0;
    // The icon the desktop shows for the file, or none.
    virtual std::optional<QIcon> iconForFile(const QString& path) = 0;
};

} // namespace platform
