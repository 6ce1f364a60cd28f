// What the tests against a real desktop session share: a native Wayland window the test makes
// (native-window.py), the front application as a menu opening would name it, Velmora's scripted
// commands, and the desktop entries that name the stand-in windows.
#pragma once

#include "platform/linux/LinuxDesktop.h"
#include "platform/services/Scripting.h"

#include <QByteArrayList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace desktop_session {

// A GTK window on the session's Wayland display; what its entry shows comes back a line at a
// time.
class NativeWindow {
public:
    NativeWindow(const QString& applicationId, const QString& title,
                 const QStringList& options = {});
    ~NativeWindow() { close(); }
    void close();
    // Whether the window wrote this line within a moment.
    bool said(const QByteArray& line, int waitMs = 3000);

private:
    QProcess m_process;
    QByteArrayList m_lines;
};

// Velmora's Linux desktop installed as the platform, its folders in a temporary one, on the
// desktop `XDG_CURRENT_DESKTOP` would name.
class InstalledDesktop {
public:
    explicit InstalledDesktop(const QByteArray& currentDesktop);

private:
    QTemporaryDir m_dir;
    platform::linuxdesk::LinuxDesktop m_desktop;
    platform::ScopedPlatform m_installed;
};

// The front application's name as a menu opening now would show it; empty for none.
QString frontName();
// Whether the front application becomes `name` within a few seconds; says what it was if not.
bool becomesFront(const QString& name);
// Whether the X11 window of this title is iconified (minimised) within a few seconds.
bool becomesIconic(const QString& x11Title);
platform::ScriptReply tell(const QString& application, const QString& command);
// A stand-in native browser titled `page` and its product name, and a native window in front of
// it that has copied "stale": the page's title comes whole, its product name taken off; put on
// the clipboard by Velmora, it is what the paste keystroke inserts into the front window (a line
// at a time), never the older text, and what Velmora reads back.
void ExpectPageTitlePastedIntoTheFrontWindow(const QString& page);
// The copy keystroke copies what the native window in front has selected, and that is what
// Velmora's clipboard then holds.
void ExpectCopyKeystrokeCopiesTheFrontWindowsSelection();
// The window in front at the opening closes before the paste keystroke: the window the desktop
// puts in front instead gets nothing, and the caller is told.
void ExpectNothingTypedForAWindowClosedSinceTheOpening();
// Desktop entries, under XDG_DATA_HOME, for the stand-ins: they run python3, whose own entry
// would name them otherwise.
bool writeStandInEntries(const QStringList& applicationIds);

} // namespace desktop_session
