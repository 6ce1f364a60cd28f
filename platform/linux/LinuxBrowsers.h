// The browsers of the signature table that Linux has, and how each is known here: its desktop
// entries, the executables its processes run, and the product name it appends to its window
// titles (" — Mozilla Firefox", " - Google Chrome"). Safari, Flock, Camino and OmniWeb have no
// Linux version and are never found.
#pragma once

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

// The title of the page in the browser's topmost window, its product name taken off; none when
// the browser has no window.
std::optional<QString> BrowserFrontPageTitle(const LinuxBrowser& browser);

// A window title without the browser's product name: "Example — Mozilla Firefox" gives
// "Example", and the product name alone (a page without a title) gives the empty text.
QString PageTitleFromWindowTitle(const LinuxBrowser& browser, const QString& windowTitle);

} // namespace platform::linuxdesk
