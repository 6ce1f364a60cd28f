// A browser's window is known without its process, as a compositor's list of windows gives
// none: by a native window's application id, or an XWayland window's X11 class.
#include "platform/linux/LinuxBrowsers.h"

#include <gtest/gtest.h>

namespace {

using namespace platform::linuxdesk;

TEST(LinuxBrowsersTest, TheTopmostWindowGivesThePageTitleWithoutTheProductName) {
    const LinuxBrowser& chrome = *LinuxBrowserNamed(QStringLiteral("Google Chrome"));
    const LinuxBrowser& firefox = *LinuxBrowserNamed(QStringLiteral("Firefox"));
    const std::vector<WindowInfo> topFirst = {
        {1, QStringLiteral("org.example.Writer"), QStringLiteral("Writer"), std::nullopt},
        {2, QStringLiteral("Google-chrome"), QStringLiteral("News - Google Chrome"), std::nullopt},
        {3, QStringLiteral("org.mozilla.firefox"), QStringLiteral("Docs \u2014 Mozilla Firefox"),
         std::nullopt},
        {4, QStringLiteral("google-chrome"), QStringLiteral("Older - Google Chrome"), std::nullopt},
    };
    EXPECT_EQ(BrowserFrontPageTitle(chrome, topFirst), QStringLiteral("News"));
    EXPECT_EQ(BrowserFrontPageTitle(firefox, topFirst), QStringLiteral("Docs"));
    EXPECT_EQ(BrowserFrontPageTitle(firefox, {topFirst[0], topFirst[1]}), std::nullopt);

    // The product name is taken off once, a private window's included.
    EXPECT_EQ(PageTitleFromWindowTitle(firefox, "A - B \u2014 Mozilla Firefox"), "A - B");
    EXPECT_EQ(PageTitleFromWindowTitle(firefox, "Mozilla Firefox"), "");
    EXPECT_EQ(PageTitleFromWindowTitle(firefox, "Tab \u2014 Mozilla Firefox Private Browsing"),
              "Tab");
    EXPECT_EQ(PageTitleFromWindowTitle(chrome, "News - Google Chrome - Google Chrome"),
              "News - Google Chrome");
    EXPECT_EQ(PageTitleFromWindowTitle(chrome, "No suffix"), "No suffix");
}

} // namespace
