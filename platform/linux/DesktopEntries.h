// The applications' desktop entries (the freedesktop Desktop Entry Specification): the
// [Desktop Entry] group of every *.desktop file under the applications folders of
// $XDG_DATA_HOME and $XDG_DATA_DIRS, the first of one file name winning, as menus read them.
// A file that is unreadable or is no application's entry is left out.
#pragma once

#include <QString>
#include <optional>
#include <sys/types.h>
#include <vector>

namespace platform::linuxdesk {

struct DesktopEntry {
    QString path;
    QString name;           // Name, unlocalised
    QString executable;     // the file name of Exec's program, without its folder
    QString icon;           // Icon: a theme icon's name or an absolute path
    QString startupWMClass; // StartupWMClass
};

std::vector<DesktopEntry> ApplicationDesktopEntries();

// The entry of one desktop-entry file; none for a file that is no application's entry.
std::optional<DesktopEntry> ReadDesktopEntry(const QString& path);

// The entry of the application whose window has this WM_CLASS class and whose process runs
// this executable: by StartupWMClass, then by Exec's program, then by the file name the class
// gives ("Firefox" → firefox.desktop).
std::optional<DesktopEntry> DesktopEntryForApplication(const QString& windowClass,
                                                       const QString& executable);

// The file name of the executable a process of this user runs; empty when it cannot be read.
QString ProcessExecutableName(pid_t pid);

} // namespace platform::linuxdesk
