// The front application on a real X server: the owner of the last active window that is not
// Velmora's, named by its desktop entry.
#include "common/ItemPaths.h"
#include "platform/linux/LinuxDesktop.h"
#include "platform/services/Processes.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

using namespace platform::linuxdesk;

class X11FrontApplicationTest : public ::testing::Test {
protected:
    X11FrontApplicationTest()
        : m_dataHome(qgetenv("XDG_DATA_HOME")), m_dataDirs(qgetenv("XDG_DATA_DIRS")),
          m_desktop(DesktopEnvironment{.runtimeDir = QFile::encodeName(m_dir.path()),
                                       .cacheHome = QFile::encodeName(m_dir.path()),
                                       .home = QFile::encodeName(m_dir.path()),
                                       .configHome = QFile::encodeName(m_dir.path()),
                                       .currentDesktop = "GNOME",
                                       .dataHome = {}}),
          m_installed(m_desktop.services()) {
        // Only the entries of the test: none of the machine's applications.
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path()));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(m_dir.path() + QStringLiteral("/none")));
        QDir(m_dir.path()).mkpath(QStringLiteral("applications/velmora-tests"));
    }
    ~X11FrontApplicationTest() override {
        m_browser.kill();
        m_browser.waitForFinished();
        qputenv("XDG_DATA_HOME", m_dataHome);
        qputenv("XDG_DATA_DIRS", m_dataDirs);
    }
    void writeEntry(const QString& name, const QByteArray& text) {
        QFile file(m_dir.path() + QStringLiteral("/applications/") + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    // The name of the front application once the stand-in has the focus.
    QString frontName() {
        const QDeadlineTimer deadline(10000);
        QString name;
        while (!deadline.hasExpired() && name.isEmpty()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            ProcessSerialNumber front;
            if (GetFrontProcess(&front) == noErr)
                CopyProcessName(&front, &name);
        }
        return name;
    }
    void startBrowser() {
        m_browser.start(QStringLiteral(VELMORA_FAKE_BROWSER), {QStringLiteral("Page")});
        ASSERT_TRUE(m_browser.waitForStarted());
    }

    QTemporaryDir m_dir;
    QByteArray m_dataHome;
    QByteArray m_dataDirs;
    LinuxDesktop m_desktop;
    platform::ScopedPlatform m_installed;
    QProcess m_browser;
};

TEST_F(X11FrontApplicationTest, NamedByItsDesktopEntryAndNotVelmorasOwnWindow) {
    writeEntry(QStringLiteral("velmora-tests/stand-in.desktop"),
               "[Desktop Entry]\nType=Application\nName=Stand-in Browser\n"
               "Exec=\"/opt/stand in/firefox\" %u\nIcon=text-x-generic\n"
               "[Desktop Action New]\nName=Not this name\n");
    startBrowser();
    ASSERT_EQ(frontName(), QStringLiteral("Stand-in Browser"));
    ProcessSerialNumber front;
    ASSERT_EQ(GetFrontProcess(&front), noErr);
    FSRef entry;
    ASSERT_EQ(GetProcessBundleLocation(&front, &entry), noErr);
    EXPECT_EQ(stringWithFSRef(&entry),
              m_dir.path() + QStringLiteral("/applications/velmora-tests/stand-in.desktop"));

    // A window of Velmora's own taking the focus, as the menu or an alert does, changes nothing.
    QWidget own;
    own.show();
    const QDeadlineTimer shown(3000);
    while (!shown.hasExpired() && !own.isActiveWindow()) {
        own.activateWindow();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_TRUE(own.isActiveWindow());
    EXPECT_EQ(frontName(), QStringLiteral("Stand-in Browser"));
}

TEST_F(X11FrontApplicationTest, WithoutADesktopEntryTheWindowClassNamesIt) {
    writeEntry(QStringLiteral("broken.desktop"), "[Desktop Entry]\nName=No type\nExec=firefox\n");
    startBrowser();
    EXPECT_EQ(frontName(), QStringLiteral("firefox"));
}

} // namespace
