// The browsers of the signature table that Linux has, and how each is known here: its desktop
// entries, the executables its processes run, and the product name it appends to its window
// titles (" — Mozilla Firefox", " - Google Chrome"). Safari, Flock, Camino and OmniWeb have no
// Linux version and are never found.
#pragma once

#include "platform/linux/FrontWindows.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <sys/types.h>

namespace platform::linuxdesk {

struct LinuxBrowser {
    QString name;
    QStringList desktopEntries;
    QStringList executables;
    QStringList productNames;
};

const std::vector<LinuxBrowser>& LinuxBrowsers();
const LinuxBrowser* LinuxBrowserNamed(const QString& name);

// The browser's processes of this user, by their executables' names.
std::vector<pid_t> BrowserProcesses(const LinuxBrowser& browser);

// The title of the page in the browser's topmost window among these, its product name taken off;
// none when the browser has no window. A window is the browser's when its process runs one of
// the browser's executables, or its application id or window class names the browser (a
// sandboxed browser's process runs something else).
std::optional<QString> BrowserFrontPageTitle(const LinuxBrowser& browser,
                                             const std::vector<WindowInfo>& windowsTopFirst);

// A window title without the browser's product name: "Example — Mozilla Firefox" gives
// "Example", and the product name alone (a page without a title) gives the empty text.
QString PageTitleFromWindowTitle(const LinuxBrowser& browser, const QString& windowTitle);

} // namespace platform::linuxdesk
