// The workspace: opening files with their default application, file icons, and applications
// found and launched by name.
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
    // Where the installed application of that name is, or none.
    virtual std::optional<QString> fullPathForApplication(const QString& name) = 0;
    // Starts the application found at `path`, or brings it forward when it runs.
    virtual bool launchApplication(const QString& path) = 0;
    // Shows the item selected in a file manager window.
    virtual bool selectFile(const QString& path) = 0;
};

} // namespace platform

// The workspace calls the system makes.
bool NSWorkspaceOpenFile(const QString& path);
std::optional<QIcon> NSWorkspaceIconForFile(const QString& path);
std::optional<QString> NSWorkspaceFullPathForApplication(const QString& name);
bool NSWorkspaceLaunchApplication(const QString& path);
bool NSWorkspaceSelectFile(const QString& path);
