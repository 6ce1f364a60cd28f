// Velmora against a real KWin on its Wayland session, through Velmora's KWin script and KWin's
// fake input: the front application is a native window's, "Hide Others" minimises the other
// applications' windows, a native browser's page title is pasted into the front window and not
// what the clipboard held before, a window closed after the opening gets no keystroke and no
// other window does, a report from anyone but KWin is refused, and a script that never reports
// or fake input refused leaves no front window or no keystroke, without a hang. Run inside
// kwin-session.sh, which grants fake input to this program.
#include "DesktopSession.h"
#include "common/ClipboardText.h"
#include "platform/linux/kde/KWinWindows.h"
#include "platform/services/Pasteboard.h"
#include "platform/services/ScriptCommands.h"
#include "platform/services/Scripting.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

using namespace platform::linuxdesk;
using namespace desktop_session;

class KWinTest : public ::testing::Test {
protected:
    InstalledDesktop m_desktop{"KDE"};
};

TEST_F(KWinTest, FrontApplicationIsTheNativeWindowsAndHideOthersMinimisesTheRest) {
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
}

// A title with quotes, characters beyond Latin-1 and thousands of characters (a native window's
// title travels in one Wayland message, which holds 4 KB: GTK cuts a longer one there).
TEST_F(KWinTest, NativeBrowsersPageTitleIsPastedIntoTheFrontWindow) {
    ExpectPageTitlePastedIntoTheFrontWindow(QStringLiteral("\"Quoted\" caf\u00e9 \u2014 ") +
                                            QString(3000, u'x'));
}

TEST_F(KWinTest, CopyKeystrokeCopiesTheFrontWindowsSelection) {
    ExpectCopyKeystrokeCopiesTheFrontWindowsSelection();
}

TEST_F(KWinTest, KeystrokeForAWindowClosedSinceTheOpeningTypesNothing) {
    ExpectNothingTypedForAWindowClosedSinceTheOpening();
}

// An alert of Velmora's in front is not the front application: the window before it stands in.
TEST_F(KWinTest, VelmorasOwnWindowIsPassedOver) {
    NativeWindow writer(QStringLiteral("org.example.Writer"), QStringLiteral("Writer"));
    ASSERT_TRUE(becomesFront(QStringLiteral("org.example.Writer")));
    QWidget alert;
    alert.setWindowTitle(QStringLiteral("Velmora's alert"));
    alert.show();
    alert.activateWindow();
    const QDeadlineTimer deadline(5000);
    while (!alert.isActiveWindow() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_TRUE(alert.isActiveWindow());
    // X11 tells Qt of the focus before KWin's script tells Velmora: its report has come by now.
    QDeadlineTimer reported(500);
    while (!reported.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(frontName(), QStringLiteral("org.example.Writer"));
}

// Anyone on the bus can call the object the script reports to: a forged report that some other
// window is in front is refused and changes nothing.
TEST_F(KWinTest, ReportsFromAnyoneButKWinAreRefused) {
    NativeWindow writer(QStringLiteral("org.example.Writer"), QStringLiteral("Writer"));
    ASSERT_TRUE(becomesFront(QStringLiteral("org.example.Writer")));
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QByteArray forged = R"({"request": "watch", "serial": 0, "window": {"id": "{forged}",
        "caption": "Forged", "resourceClass": "org.example.Forged", "pid": 1, "normal": true}})";
    std::vector<QDBusPendingCall> calls;
    for (const QString& name : bus.interface()->registeredServiceNames().value()) {
        if (!name.startsWith(QLatin1Char(':')) || name == bus.baseService())
            continue;
        QDBusMessage report = QDBusMessage::createMethodCall(
            name, QStringLiteral("/io/velmora/KWinWindows"),
            QStringLiteral("io.velmora.KWinWindows"), QStringLiteral("Report"));
        report.setArguments({QString::fromUtf8(forged)});
        calls.push_back(bus.asyncCall(report, 1000));
    }
    int refused = 0;
    for (QDBusPendingCall& call : calls) {
        call.waitForFinished();
        if (call.error().type() == QDBusError::AccessDenied)
            ++refused;
    }
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(frontName(), QStringLiteral("org.example.Writer"));
}

// A script KWin loads but that never reports: no front window, and the question ends.
TEST_F(KWinTest, ScriptThatNeverReportsMeansNoFrontWindow) {
    NativeWindow writer(QStringLiteral("org.example.Writer"), QStringLiteral("Writer"));
    ASSERT_TRUE(becomesFront(QStringLiteral("org.example.Writer")));
    QTemporaryDir folder;
    QFile silent(folder.filePath(QStringLiteral("silent.js")));
    ASSERT_TRUE(silent.open(QIODevice::WriteOnly));
    silent.write("print(\"listening to nobody\");\n");
    silent.close();
    kde::KWinWindows kwin(silent.fileName());
    EXPECT_FALSE(kwin.available());
    EXPECT_FALSE(kwin.activeWindow());
    EXPECT_TRUE(kwin.windows().empty());
}

// A copy of this program, which no desktop entry names, is refused fake input: its paste
// keystroke fails and types nothing.
TEST_F(KWinTest, FakeInputRefusedTypesNothing) {
    NativeWindow writer(QStringLiteral("org.example.Writer"), QStringLiteral("Writer"),
                        {QStringLiteral("--clipboard"), QStringLiteral("pasted")});
    ASSERT_TRUE(becomesFront(QStringLiteral("org.example.Writer")));
    if (qEnvironmentVariableIsSet("VELMORA_UNNAMED_COPY")) {
        EXPECT_NE(tell(QStringLiteral("System Events"), script_commands::kPasteKeystroke).status,
                  noErr);
        EXPECT_FALSE(writer.said("pasted", 1000));
        return;
    }
    QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("unnamed"));
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), copy));
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VELMORA_UNNAMED_COPY"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(copy, {QStringLiteral("--gtest_filter=KWinTest.FakeInputRefusedTypesNothing")});
    ASSERT_TRUE(child.waitForFinished(20000));
    EXPECT_EQ(child.exitCode(), 0);
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    if (!writeStandInEntries({QStringLiteral("org.example.Writer"),
                              QStringLiteral("org.example.Other"), QStringLiteral("firefox")}))
        return 1;
    return RUN_ALL_TESTS();
}
