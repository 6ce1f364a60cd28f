// Velmora against a real GNOME Shell on its Wayland session, through Velmora's Shell extension:
// the front application is a native window's, "Hide Others" minimises the other applications'
// windows, a native browser's page title is read and pasted, the copy keystroke reaches the
// front window, a window closed after the opening gets no keystroke and no other window does,
// and a caller other than Velmora is refused. Run inside gnome-shell-session.sh.
#include "DesktopSession.h"
#include "platform/linux/SingleInstance.h"
#include "platform/services/ScriptCommands.h"
#include "platform/services/Scripting.h"

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace platform::linuxdesk;
using namespace desktop_session;

class GnomeShellTest : public ::testing::Test {
protected:
    InstalledDesktop m_desktop{"GNOME"};
};

TEST_F(GnomeShellTest, FrontApplicationIsTheNativeWindowsAndHideOthersMinimisesTheRest) {
    NativeWindow other(QStringLiteral("org.example.Other"), QStringLiteral("Other"));
    QProcess xterm;
    xterm.start(QStringLiteral("xterm"),
                {QStringLiteral("-title"), QStringLiteral("Velmora XTerm")});
    ASSERT_TRUE(becomesFront(QStringLiteral("XTerm")));
    NativeWindow writer(QStringLiteral("org.example.Writer"), QStringLiteral("Writer"));
    ASSERT_TRUE(becomesFront(QStringLiteral("org.example.Writer")));

    EXPECT_EQ(tell(QStringLiteral("System Events"), script_commands::kHideOthers).status, noErr);
    EXPECT_TRUE(becomesIconic(QStringLiteral("Velmora XTerm")));
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

// A title with quotes, characters beyond Latin-1 and thousands of characters.
TEST_F(GnomeShellTest, NativeBrowsersPageTitleIsPastedIntoTheFrontWindow) {
    ExpectPageTitlePastedIntoTheFrontWindow(QStringLiteral("\"Quoted\" caf\u00e9 \u2014 ") +
                                            QString(3000, u'x'));
}

TEST_F(GnomeShellTest, CopyKeystrokeCopiesTheFrontWindowsSelection) {
    ExpectCopyKeystrokeCopiesTheFrontWindowsSelection();
}

TEST_F(GnomeShellTest, KeystrokeForAWindowClosedSinceTheOpeningTypesNothing) {
    ExpectNothingTypedForAWindowClosedSinceTheOpening();
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    if (!writeStandInEntries({QStringLiteral("org.example.Writer"),
                              QStringLiteral("org.example.Other"), QStringLiteral("firefox")}))
        return 1;
    QTemporaryDir runtime;
    // The extension answers only the owner of Velmora's name.
    SingleInstance instance(QFile::encodeName(runtime.path()), [] {});
    if (!instance.isFirst()) {
        std::fprintf(stderr, "io.velmora.Velmora is taken on this bus\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
