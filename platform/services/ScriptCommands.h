// The commands of the script dialect's applications, by the names both desktops perform them
// under. The dialect's dictionaries map statements onto these names; each backend's applications
// answer to them. One list, so that the dictionaries and the two backends cannot drift apart.
#pragma once

#include <QLatin1String>

namespace script_commands {

// Finder
inline constexpr QLatin1String kDesktopPicturePath("desktopPicturePath");
inline constexpr QLatin1String kSetDesktopPicture("setDesktopPicture");
// Mail: the senders of the selected messages, one a line, newest first unless the argument is
// true.
inline constexpr QLatin1String kSelectedSenders("selectedSenders");
// Mail: a new message with these files attached (a list of paths) and this text (the names of
// what is attached).
inline constexpr QLatin1String kMakeMessage("makeMessage");
// System Events: hide the other applications; the copy keystroke, to the application in front.
inline constexpr QLatin1String kHideOthers("hideOthers");
inline constexpr QLatin1String kCopyKeystroke("copyKeystroke");
// System Events: the paste keystroke, to the application the user was typing in.
inline constexpr QLatin1String kPasteKeystroke("pasteKeystroke");
// A browser: the title of its front page; the properties of its front window as a list, the
// title second; its front window; a JavaScript text run in a window (the arguments: the text,
// the window).
inline constexpr QLatin1String kFrontPageTitle("frontPageTitle");
inline constexpr QLatin1String kFrontWindowProperties("frontWindowProperties");
inline constexpr QLatin1String kFrontWindow("frontWindow");
inline constexpr QLatin1String kDoJavaScript("doJavaScript");
// Preview
inline constexpr QLatin1String kActivate("activate");
inline constexpr QLatin1String kNewDocumentFromClipboard("newDocumentFromClipboard");

} // namespace script_commands
