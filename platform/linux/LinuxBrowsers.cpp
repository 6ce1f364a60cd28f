#include "platform/linux/LinuxBrowsers.h"

#include "platform/linux/DesktopEntries.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <unistd.h>

namespace platform::linuxdesk {

namespace {

bool runs(const LinuxBrowser& browser, pid_t pid) {
    return browser.executables.contains(ProcessExecutableName(pid));
}

} // namespace

const std::vector<LinuxBrowser>& LinuxBrowsers() {
    static const std::vector<LinuxBrowser> browsers = {
        {QStringLiteral("Google Chrome"),
         {QStringLiteral("google-chrome.desktop"), QStringLiteral("com.google.Chrome.desktop")},
         {QStringLiteral("chrome")},
         {QStringLiteral("Google Chrome")}},
        {QStringLiteral("Firefox"),
         {QStringLiteral("firefox.desktop"), QStringLiteral("firefox-esr.desktop"),
          QStringLiteral("org.mozilla.firefox.desktop")},
         {QStringLiteral("firefox"), QStringLiteral("firefox-esr"), QStringLiteral("firefox-bin")},
         {QStringLiteral("Mozilla Firefox Private Browsing"), QStringLiteral("Mozilla Firefox")}},
        {QStringLiteral("Opera"),
         {QStringLiteral("opera.desktop")},
         {QStringLiteral("opera")},
         {QStringLiteral("Opera")}},
    };
    return browsers;
}

const LinuxBrowser* LinuxBrowserNamed(const QString& name) {
    for (const LinuxBrowser& browser : LinuxBrowsers()) {
        if (browser.name == name)
            return &browser;
    }
    return nullptr;
}

std::vector<pid_t> BrowserProcesses(const LinuxBrowser& browser) {
    std::vector<pid_t> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool number = false;
        const pid_t pid = entry.toInt(&number);
        if (number && pid != getpid() && runs(browser, pid))
            found.push_back(pid);
    }
    return found;
}

std::optional<QString> BrowserFrontPageTitle(const LinuxBrowser& browser,
                                             const std::vector<WindowInfo>& windowsTopFirst) {
    for (const WindowInfo& window : windowsTopFirst) {
        const bool ours =
            (window.pid && runs(browser, *window.pid)) ||
            browser.executables.contains(window.applicationId, Qt::CaseInsensitive) ||
            // An X11 class is the entry's name capitalised: "Google-chrome".
            browser.desktopEntries.contains(window.applicationId + QStringLiteral(".desktop"),
                                            Qt::CaseInsensitive);
        if (ours)
            return PageTitleFromWindowTitle(browser, window.title);
    }
    return std::nullopt;
}

QString PageTitleFromWindowTitle(const LinuxBrowser& browser, const QString& windowTitle) {
    for (const QString& product : browser.productNames) {
        if (windowTitle == product)
            return QString();
        for (const QString& dash : {QStringLiteral(" \u2014 "), QStringLiteral(" - ")}) {
            if (windowTitle.endsWith(dash + product))
                return windowTitle.chopped(dash.size() + product.size());
        }
    }
    return windowTitle;
}

} // namespace platform::linuxdesk
