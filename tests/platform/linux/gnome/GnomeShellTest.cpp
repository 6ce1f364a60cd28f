// Velmora against a real GNOME Shell on its Wayland session, through Velmora's Shell extension:
// the front application is a native window's, "Hide Others" minimises the other applications'
// windows, a native browser's page title is read and pasted, the copy keystroke reaches the
// front window, a window closed after the opening gets no keystroke and no other window does,
// and a caller other than Velmora is refused. Run inside gnome-shell-session.sh.
#include "common/ClipboardText.h"
#include "platform/linux/FrontWindows.h"
#include "platform/linux/LinuxDesktop.h"
#include "platform/linux/SingleInstance.h"
#include "platform/services/Processes.h"
#include "platform/services/ScriptCommands.h"
#include "platform/services/Scripting.h"

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace platform::linuxdesk;

// A GTK window on the Shell's Wayland display; what its entry shows comes back a line at a time.
class NativeWindow {
public:
    NativeWindow(const QString& applicationId, const QString& title,
                 const QStringList& options = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("GDK_BACKEND"), QStringLiteral("wayland"));
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("/usr/bin/python3"),
                        QStringList{QStringLiteral(VELMORA_NATIVE_WINDOW), applicationId, title} +
                            options);
        m_process.waitForStarted();
    }
    ~NativeWindow() { close(); }
    void close() {
        m_process.terminate();
        m_process.waitForFinished(3000);
    }
    // Whether the window wrote this line within a moment.
    bool said(const QByteArray& line, int waitMs = 3000) {
        const QDeadlineTimer deadline(waitMs);
        while (!m_lines.contains(line) && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            m_process.waitForReadyRead(20);
            while (m_process.canReadLine())
                m_lines.append(m_process.readLine().chopped(1));
        }
        return m_lines.contains(line);
    }
    QByteArrayList lines(int waitMs) {
        said(QByteArray("\n"), waitMs);
        return m_lines;
    }

private:
    QProcess m_process;
    QByteArrayList m_lines;
};

class GnomeShellTest : public ::testing::Test {
protected:
    GnomeShellTest()
        : m_desktop(DesktopEnvironment{.runtimeDir = QFile::encodeName(m_dir.path()),
                                       .cacheHome = QFile::encodeName(m_dir.path()),
                                       .home = QFile::encodeName(m_dir.path()),
                                       .configHome = QFile::encodeName(m_dir.path()),
                                       .currentDesktop = "GNOME",
                                       .dataHome = {}}),
          m_installed(m_desktop.services()) {}

    // The front application's name as a menu opening now would show it; empty for none.
    static QString frontName() {
        RememberFrontWindowAtOpening();
        ProcessSerialNumber front;
        QString name;
        if (GetFrontProcess(&front) == noErr)
            CopyProcessName(&front, &name);
        return name;
    }
    static bool becomesFront(const QString& name) {
        const QDeadlineTimer deadline(10000);
        QString now;
        while ((now = frontName()) != name && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (now != name)
            std::fprintf(stderr, "front: \"%s\"\n", qPrintable(now));
        return now == name;
    }
    static platform::ScriptReply tell(const QString& application, const QString& command) {
        return platform::scripting().application(application)->perform(command, {});
    }

    QTemporaryDir m_dir;
    LinuxDesktop m_desktop;
    platform::ScopedPlatform m_installed;
};

QByteArray xprop(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("xprop"), arguments);
    process.waitForFinished(5000);
    return process.readAllStandardOutput();
}

TEST_F(GnomeShellTest, FrontApplicationIsTheNativeWindowsAndHideOthersMinimisesTheRest) {
    NativeWindow other(QStringLiteral("org.example.Other"), QStringLiteral("Other"));
    QProcess xterm;
    xterm.start(QStringLiteral("xterm"),
                {QStringLiteral("-title"), QStringLiteral("Velmora XTerm")});
    ASSERT_TRUE(becomesFront(QStringLiteral("XTerm")));
    NativeWindow writer(QStringLiteral("org.example.Writer"), QStringLiteral("Writer"));
    ASSERT_TRUE(becomesFront(QStringLiteral("org.example.Writer")));

    EXPECT_EQ(tell(QStringLiteral("System Events"), script_commands::kHideOthers).status, noErr);
    const QDeadlineTimer deadline(5000);
    while (!xprop({QStringLiteral("-name"), QStringLiteral("Velmora XTerm"),
                   QStringLiteral("WM_STATE")})
                .contains("Iconic") &&
           !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(xprop({QStringLiteral("-name"), QStringLiteral("Velmora XTerm"),
                       QStringLiteral("WM_STATE")})
                    .contains("Iconic"));
    EXPECT_EQ(frontName(), QStringLiteral("org.example.Writer"));
    xterm.kill();
    xterm.waitForFinished();

    // Anyone but the owner of Velmora's bus name is refused.
    QProcess stranger;
    stranger.setProcessChannelMode(QProcess::MergedChannels);
    stranger.start(QStringLiteral("gdbus"),
                   {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"),
                    QStringLiteral("org.gnome.Shell"), QStringLiteral("--object-path"),
                    QStringLiteral("/io/velmora/ShellWindows"), QStringLiteral("--method"),
                    QStringLiteral("io.velmora.ShellWindows.HideOthers"), QStringLiteral("1")});
    ASSERT_TRUE(stranger.waitForFinished(5000));
    EXPECT_NE(stranger.exitCode(), 0);
    EXPECT_TRUE(stranger.readAll().contains("AccessDenied"));
}

// A title with quotes, characters beyond Latin-1 and thousands of characters comes whole, its
// product name taken off. Put on the clipboard by Velmora, it is what the paste keystroke inserts
// into the native window in front, not what that window had copied before, and what Velmora
// reads back.
TEST_F(GnomeShellTest, NativeBrowsersPageTitleIsPastedIntoTheFrontWindow) {
    const QString page = QStringLiteral("\"Quoted\" caf\u00e9 \u2014 ") + QString(3000, u'x');
    NativeWindow firefox(QStringLiteral("firefox"),
                         page + QStringLiteral(" \u2014 Mozilla Firefox"));
    ASSERT_TRUE(becomesFront(QStringLiteral("firefox")));
    NativeWindow writer(QStringLiteral("org.example.Writer"), QStringLiteral("Writer"),
                        {QStringLiteral("--clipboard"), QStringLiteral("stale")});
    ASSERT_TRUE(becomesFront(QStringLiteral("org.example.Writer")));
    // The window's offer has reached the Shell once Velmora reads it back.
    ASSERT_TRUE(writer.said("offered"));
    const QDeadlineTimer deadline(5000);
    while (ClipboardText(false) != QStringLiteral("stale") && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_EQ(ClipboardText(false), QStringLiteral("stale"));

    const platform::ScriptReply title =
        tell(QStringLiteral("Firefox"), script_commands::kFrontPageTitle);
    ASSERT_EQ(title.status, noErr);
    EXPECT_EQ(title.value.toText(), page);
    ASSERT_EQ(PutStringOnPasteboard(title.value.toText()), noErr);
    EXPECT_EQ(tell(QStringLiteral("System Events"), script_commands::kPasteKeystroke).status,
              noErr);
    EXPECT_TRUE(writer.said(page.toUtf8()));
    EXPECT_FALSE(writer.said("stale", 0));
    EXPECT_EQ(ClipboardText(false), page);
}

TEST_F(GnomeShellTest, CopyKeystrokeCopiesTheFrontWindowsSelection) {
    NativeWindow writer(QStringLiteral("org.example.Writer"), QStringLiteral("Writer"),
                        {QStringLiteral("--select"), QStringLiteral("compl")});
    ASSERT_TRUE(becomesFront(QStringLiteral("org.example.Writer")));
    EXPECT_EQ(tell(QStringLiteral("System Events"), script_commands::kCopyKeystroke).status, noErr);
    EXPECT_TRUE(writer.said("copied: compl"));
}

// The window in front at the opening closes before the keystroke: the window the Shell puts in
// front instead gets nothing, and the caller is told.
TEST_F(GnomeShellTest, KeystrokeForAWindowClosedSinceTheOpeningTypesNothing) {
    NativeWindow other(QStringLiteral("org.example.Other"), QStringLiteral("Other"),
                       {QStringLiteral("--clipboard"), QStringLiteral("pasted")});
    ASSERT_TRUE(becomesFront(QStringLiteral("org.example.Other")));
    auto writer = std::make_unique<NativeWindow>(QStringLiteral("org.example.Writer"),
                                                 QStringLiteral("Writer"));
    ASSERT_TRUE(becomesFront(QStringLiteral("org.example.Writer")));
    writer.reset();
    EXPECT_NE(tell(QStringLiteral("System Events"), script_commands::kPasteKeystroke).status,
              noErr);
    EXPECT_FALSE(other.said("pasted", 1000));
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    // The stand-ins run python3, whose own desktop entry would name them otherwise.
    const QString entries = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/applications");
    QDir().mkpath(entries);
    for (const char* name : {"org.example.Writer", "org.example.Other", "firefox"}) {
        QFile entry(entries + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".desktop"));
        if (!entry.open(QIODevice::WriteOnly))
            return 1;
        entry.write(QByteArray("[Desktop Entry]\nType=Application\nName=") + name +
                    "\nExec=/bin/false\n");
    }
    QTemporaryDir runtime;
    // The extension answers only the owner of Velmora's name.
    SingleInstance instance(QFile::encodeName(runtime.path()), [] {});
    if (!instance.isFirst()) {
        std::fprintf(stderr, "io.velmora.Velmora is taken on this bus\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
