#include "platform/linux/LinuxBrowsers.h"

#include "platform/linux/DesktopEntries.h"
#include "platform/linux/x11/X11Windows.h"

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

std::optional<QString> BrowserFrontPageTitle(const LinuxBrowser& browser) {
    const std::vector<x11::Window> windows = x11::ClientWindowsBottomToTop();
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
        const auto pid = x11::WindowProcess(*window);
        const bool ours =
            pid ? runs(browser, *pid)
                : browser.executables.contains(x11::WindowClass(*window), Qt::CaseInsensitive);
        if (!ours)
            continue;
        if (const auto title = x11::WindowTitle(*window))
            return PageTitleFromWindowTitle(browser, *title);
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
