#include "DesktopSession.h"

#include "common/ClipboardText.h"
#include "platform/linux/FrontWindows.h"
#include "platform/services/Pasteboard.h"
#include "platform/services/Processes.h"
#include "platform/services/ScriptCommands.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

namespace desktop_session {

InstalledDesktop::InstalledDesktop(const QByteArray& currentDesktop)
    : m_desktop(
          platform::linuxdesk::DesktopEnvironment{.runtimeDir = QFile::encodeName(m_dir.path()),
                                                  .cacheHome = QFile::encodeName(m_dir.path()),
                                                  .home = QFile::encodeName(m_dir.path()),
                                                  .configHome = QFile::encodeName(m_dir.path()),
                                                  .currentDesktop = currentDesktop,
                                                  .dataHome = {}}),
      m_installed(m_desktop.services()) {}

NativeWindow::NativeWindow(const QString& applicationId, const QString& title,
                           const QStringList& options) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("GDK_BACKEND"), QStringLiteral("wayland"));
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A session run as another user has its own copy of the script.
    const QString script =
        qEnvironmentVariable("VELMORA_NATIVE_WINDOW", QStringLiteral(VELMORA_NATIVE_WINDOW));
    m_process.start(QStringLiteral("/usr/bin/python3"),
                    QStringList{script, applicationId, title} + options);
    m_process.waitForStarted();
}

void NativeWindow::close() {
    m_process.terminate();
    m_process.waitForFinished(3000);
}

bool NativeWindow::said(const QByteArray& line, int waitMs) {
    const QDeadlineTimer deadline(waitMs);
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        m_process.waitForReadyRead(20);
        while (m_process.canReadLine())
            m_lines.append(m_process.readLine().chopped(1));
    } while (!m_lines.contains(line) && !deadline.hasExpired());
    return m_lines.contains(line);
}

QString frontName() {
    platform::linuxdesk::RememberFrontWindowAtOpening();
    ProcessSerialNumber front;
    QString name;
    if (GetFrontProcess(&front) == noErr)
        CopyProcessName(&front, &name);
    return name;
}

bool becomesFront(const QString& name) {
    const QDeadlineTimer deadline(10000);
    QString now;
    while ((now = frontName()) != name && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (now != name)
        std::fprintf(stderr, "front: \"%s\"\n", qPrintable(now));
    return now == name;
}

bool becomesIconic(const QString& x11Title) {
    const auto iconic = [&] {
        QProcess xprop;
        xprop.start(QStringLiteral("xprop"),
                    {QStringLiteral("-name"), x11Title, QStringLiteral("WM_STATE")});
        xprop.waitForFinished(5000);
        return xprop.readAllStandardOutput().contains("Iconic");
    };
    const QDeadlineTimer deadline(5000);
    while (!iconic() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return iconic();
}

platform::ScriptReply tell(const QString& application, const QString& command) {
    return platform::scripting().application(application)->perform(command, {});
}

void ExpectPageTitlePastedIntoTheFrontWindow(const QString& page) {
    NativeWindow firefox(QStringLiteral("firefox"),
                         page + QStringLiteral(" \u2014 Mozilla Firefox"));
    ASSERT_TRUE(becomesFront(QStringLiteral("firefox")));
    NativeWindow writer(QStringLiteral("org.example.Writer"), QStringLiteral("Writer"),
                        {QStringLiteral("--clipboard"), QStringLiteral("stale")});
    ASSERT_TRUE(becomesFront(QStringLiteral("org.example.Writer")));
    // The window's offer has reached the desktop once Velmora reads it back.
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
    for (const QString& line : page.split(u'\n'))
        EXPECT_TRUE(writer.said(line.toUtf8()));
    EXPECT_FALSE(writer.said("stale", 0));
    EXPECT_EQ(ClipboardText(false), page);
}

void ExpectCopyKeystrokeCopiesTheFrontWindowsSelection() {
    NativeWindow writer(QStringLiteral("org.example.Writer"), QStringLiteral("Writer"),
                        {QStringLiteral("--select"), QStringLiteral("compl")});
    ASSERT_TRUE(becomesFront(QStringLiteral("org.example.Writer")));
    PasteboardRef clipboard = nullptr;
    PasteboardCreate(kPasteboardClipboard, &clipboard);
    PasteboardSynchronize(clipboard);
    EXPECT_EQ(tell(QStringLiteral("System Events"), script_commands::kCopyKeystroke).status, noErr);
    EXPECT_TRUE(writer.said("copied: compl"));
    ASSERT_TRUE(PasteboardWaitForChange(clipboard, std::chrono::seconds(2)));
    EXPECT_EQ(ClipboardText(false), QStringLiteral("compl"));
}

void ExpectNothingTypedForAWindowClosedSinceTheOpening() {
    NativeWindow other(QStringLiteral("org.example.Other"), QStringLiteral("Other"),
                       {QStringLiteral("--clipboard"), QStringLiteral("pasted")});
    ASSERT_TRUE(becomesFront(QStringLiteral("org.example.Other")));
    ASSERT_TRUE(other.said("offered"));
    auto writer = std::make_unique<NativeWindow>(QStringLiteral("org.example.Writer"),
                                                 QStringLiteral("Writer"));
    ASSERT_TRUE(becomesFront(QStringLiteral("org.example.Writer")));
    writer.reset();
    EXPECT_NE(tell(QStringLiteral("System Events"), script_commands::kPasteKeystroke).status,
              noErr);
    EXPECT_FALSE(other.said("pasted", 1000));
}

bool writeStandInEntries(const QStringList& applicationIds) {
    const QString entries = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/applications");
    QDir().mkpath(entries);
    for (const QString& id : applicationIds) {
        QFile entry(entries + QLatin1Char('/') + id + QStringLiteral(".desktop"));
        if (!entry.open(QIODevice::WriteOnly))
            return false;
        entry.write("[Desktop Entry]\nType=Application\nName=" + id.toUtf8() +
                    "\nExec=/bin/false\n");
    }
    return true;
}

} // namespace desktop_session
