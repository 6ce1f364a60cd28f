// "Copy and Paste Title" on a real X server: the browser found by its process, the title read
// off its window, put on the X clipboard and typed into the window the user was in with XTest.
#include "commands/browsers/BrowserCommands.h"
#include "common/MenuItems.h"
#include "platform/linux/LinuxBrowsers.h"
#include "platform/linux/LinuxDesktop.h"
#include "platform/linux/X11Windows.h"
#include "platform/services/Alerts.h"

#include <QClipboard>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

using namespace platform::linuxdesk;

class RecordedAlerts : public platform::AlertService {
public:
    int runStopAlert(const QString& message, const std::optional<QString>&,
                     const QStringList&) override {
        messages.append(message);
        return 1;
    }
    std::optional<QString> runSavePanel(const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> runChooseFolder(const QString&, const QString&,
                                           const QString&) override {
        return std::nullopt;
    }
    QStringList messages;
};

class X11BrowsersTest : public ::testing::Test {
protected:
    X11BrowsersTest()
        : m_desktop(DesktopEnvironment{.runtimeDir = QFile::encodeName(m_dir.path()),
                                       .cacheHome = QFile::encodeName(m_dir.path()),
                                       .home = QFile::encodeName(m_dir.path()),
                                       .configHome = QFile::encodeName(m_dir.path()),
                                       .currentDesktop = "GNOME",
                                       .dataHome = {}}),
          m_installed(withRecordedAlerts()) {}
    ~X11BrowsersTest() override {
        m_browser.kill();
        m_browser.waitForFinished();
    }

    platform::Services withRecordedAlerts() {
        platform::Services services = m_desktop.services();
        services.alerts = &m_alerts;
        return services;
    }
    // Starts the stand-in browser and waits until its window is focused.
    void startBrowser(const QString& windowTitle) {
        m_browser.start(QStringLiteral(VELMORA_FAKE_BROWSER), {windowTitle});
        ASSERT_TRUE(m_browser.waitForStarted());
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && !BrowserFrontPageTitle(*LinuxBrowserNamed("Firefox")))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(300);
    }
    QString waitForLine() {
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && !m_browser.canReadLine())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return QString::fromUtf8(m_browser.readLine()).trimmed();
    }
    void choose(const QString& browser) {
        SelectBrowserItem(AppendActionItem(&m_menu, browser, "selBrowserItem:", std::nullopt));
    }

    QTemporaryDir m_dir;
    LinuxDesktop m_desktop;
    RecordedAlerts m_alerts;
    platform::ScopedPlatform m_installed;
    QProcess m_browser;
    QMenu m_menu;
};

TEST_F(X11BrowsersTest, TheFrontPageTitleIsCopiedAndTypedIntoTheWindowTheUserWasIn) {
    startBrowser(QStringLiteral("Say \"hi\" \u00e0 tous \u2014 Mozilla Firefox"));
    ASSERT_EQ(BrowserFrontPageTitle(*LinuxBrowserNamed("Firefox")),
              QStringLiteral("Say \"hi\" \u00e0 tous"));
    x11::RememberActiveWindow();
    choose(QStringLiteral("Firefox"));
    EXPECT_TRUE(m_alerts.messages.isEmpty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Say \"hi\" \u00e0 tous"));
    EXPECT_EQ(waitForLine(), QStringLiteral("Say \"hi\" \u00e0 tous"));
}

TEST_F(X11BrowsersTest, ABrowserThatIsNotRunningLeavesTheClipboardAlone) {
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    choose(QStringLiteral("Google Chrome"));
    choose(QStringLiteral("Firefox"));
    EXPECT_EQ(
        m_alerts.messages,
        QStringList(2, QStringLiteral("The title of the front web page could not be copied.")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
}

TEST(PageTitle, TheBrowsersProductNameIsTakenOffOnce) {
    const LinuxBrowser& firefox = *LinuxBrowserNamed("Firefox");
    const LinuxBrowser& chrome = *LinuxBrowserNamed("Google Chrome");
    EXPECT_EQ(PageTitleFromWindowTitle(firefox, "A - B \u2014 Mozilla Firefox"), "A - B");
    EXPECT_EQ(PageTitleFromWindowTitle(firefox, "Mozilla Firefox"), "");
    EXPECT_EQ(PageTitleFromWindowTitle(firefox, "Tab \u2014 Mozilla Firefox Private Browsing"),
              "Tab");
    EXPECT_EQ(PageTitleFromWindowTitle(chrome, "News - Google Chrome - Google Chrome"),
              "News - Google Chrome");
    EXPECT_EQ(PageTitleFromWindowTitle(chrome, "No suffix"), "No suffix");
}

} // namespace
