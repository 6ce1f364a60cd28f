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
// System Events: hide the other applications; the copy keystroke, to the application in front.
inline constexpr QLatin1String kHideOthers("hideOthers");
inline constexpr QLatin1String kCopyKeystroke("copyKeystroke");
// Preview
inline constexpr QLatin1String kActivate("activate");
inline constexpr QLatin1String kNewDocumentFromClipboard("newDocumentFromClipboard");

} // namespace script_commands
