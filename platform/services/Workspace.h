// The workspace: opening files with their default application, file icons and custom icons,
// and applications found and launched by name.
#pragma once

#include <QIcon>
#include <QImage>
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
    // Tells file managers that keep custom icons in a store of their own that the item's custom
    // icon is now the picture `iconFile`, or, with none, that it has none.
    virtual void customIconChanged(const QString& path, const std::optional<QString>& iconFile) = 0;
};

} // namespace platform

// The workspace calls the system makes.
bool NSWorkspaceOpenFile(const QString& path);
// The item's custom icon when it has one, else the icon the desktop shows for its type.
std::optional<QIcon> NSWorkspaceIconForFile(const QString& path);
// Makes the picture the item's custom icon, kept in the user's data folder; a null picture
// removes the custom icon. False when the item refuses it.
bool NSWorkspaceSetIconForFile(const QImage& picture, const QString& path);
std::optional<QString> NSWorkspaceFullPathForApplication(const QString& name);
bool NSWorkspaceLaunchApplication(const QString& path);
bool NSWorkspaceSelectFile(const QString& path);
