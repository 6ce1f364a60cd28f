// The front application on a real X server: the owner of the window active as the menu opens,
// Velmora's own passed over, named by its desktop entry; none when none is active; and the
// keystrokes, which reach that window only.
#include "common/ItemPaths.h"
#include "platform/linux/LinuxDesktop.h"
#include "platform/services/Processes.h"
#include "platform/services/ScriptCommands.h"
#include "platform/services/Scripting.h"

#include <QClipboard>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

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
        for (QProcess* process : {&m_browser, &m_other}) {
            process->kill();
            process->waitForFinished();
        }
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
    void startBrowser() { start(m_browser, QStringLiteral("Page")); }
    static void start(QProcess& process, const QString& title) {
        process.start(QStringLiteral(VELMORA_FAKE_BROWSER), {title});
        ASSERT_TRUE(process.waitForStarted());
    }
    // Whether the front window is gone within a moment.
    static bool noFront() {
        const QDeadlineTimer deadline(5000);
        ProcessSerialNumber front;
        while (GetFrontProcess(&front) == noErr && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return GetFrontProcess(&front) != noErr;
    }
    static platform::ScriptReply paste() {
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        return platform::scripting()
            .application(QStringLiteral("System Events"))
            ->perform(script_commands::kPasteKeystroke, {});
    }
    // What the stand-in's line edit showed within a moment.
    static QByteArray typedInto(QProcess& process, int waitMs) {
        QByteArray typed;
        const QDeadlineTimer deadline(waitMs);
        while (!deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            process.waitForReadyRead(20);
            typed += process.readAllStandardOutput();
        }
        return typed;
    }

    QTemporaryDir m_dir;
    QByteArray m_dataHome;
    QByteArray m_dataDirs;
    LinuxDesktop m_desktop;
    platform::ScopedPlatform m_installed;
    QProcess m_browser;
    QProcess m_other;
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

// Without a desktop entry (a broken one does not count) the window's class names the application.
// A window left behind is never the front one: with nothing active (the only window iconified
// under a window manager, the focus on no window without one) there is no front application,
// and the keystroke types nothing into the window that was in front before.
TEST_F(X11FrontApplicationTest, NothingActiveMeansNoFrontApplicationAndNothingTyped) {
    writeEntry(QStringLiteral("broken.desktop"), "[Desktop Entry]\nName=No type\nExec=firefox\n");
    startBrowser();
    ASSERT_EQ(frontName(), QStringLiteral("firefox"));
    typedInto(m_browser, 300);
    if (qEnvironmentVariableIsSet("VELMORA_TEST_BARE_X")) {
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_set_input_focus(x11->connection(), XCB_INPUT_FOCUS_NONE, XCB_NONE, XCB_CURRENT_TIME);
        xcb_flush(x11->connection());
    } else {
        QProcess::execute(QStringLiteral("xdotool"),
                          {QStringLiteral("search"), QStringLiteral("--name"),
                           QStringLiteral("^Page$"), QStringLiteral("windowminimize")});
    }
    EXPECT_TRUE(noFront());
    EXPECT_NE(paste().status, noErr);
    EXPECT_EQ(typedInto(m_browser, 500), QByteArray());
}

// The keystroke goes to the window in front as the menu opened, and to no other: once that
// window has closed, the window that took its place gets nothing and the caller is told.
TEST_F(X11FrontApplicationTest, KeystrokeReachesOnlyTheWindowTakenAtTheOpening) {
    start(m_other, QStringLiteral("Other"));
    ASSERT_TRUE(typedInto(m_other, 500).isEmpty());
    startBrowser();
    // The stand-in takes the focus a moment after its window shows.
    typedInto(m_browser, 1500);
    ProcessSerialNumber front;
    ASSERT_EQ(GetFrontProcess(&front), noErr);
    ASSERT_EQ(paste().status, noErr);
    EXPECT_EQ(typedInto(m_browser, 1000).trimmed(), QByteArray("pasted"));

    m_browser.kill();
    m_browser.waitForFinished();
    EXPECT_NE(paste().status, noErr);
    EXPECT_EQ(typedInto(m_other, 700), QByteArray());
}

} // namespace
