// The desktop picture of the Linux desktops: GNOME and the desktops built on its settings
// (Budgie, Unity, Pantheon), Cinnamon and MATE through GSettings, XFCE through xfconf, KDE
// Plasma through the shell's scripting interface on D-Bus. Another desktop has no picture this
// program can read or set.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace platform::linuxdesk {

enum class DesktopFamily { Gnome, Cinnamon, Mate, Xfce, Plasma, Unknown };

// From XDG_CURRENT_DESKTOP, a colon-separated list whose first known name wins.
DesktopFamily DesktopFamilyFor(const QByteArray& currentDesktop);

// On GNOME, the picture of the colour scheme in effect (the dark style has its own).
std::optional<QString> ReadDesktopPicture(DesktopFamily family);
// On GNOME, both the light and the dark style's pictures become `path`, and the two they were
// are kept in the file `before`; setting the picture that was in effect then puts both back.
bool WriteDesktopPicture(DesktopFamily family, const QString& path, const QString& before);

// A GVariant text-format string: the text in single quotes, with quotes and backslashes
// escaped, so that gsettings stores exactly that text.
QString GVariantStringLiteral(const QString& text);
// The string a `gsettings get` line holds ('…' with escapes), or none.
std::optional<QString> ParseGVariantString(const QString& line);

} // namespace platform::linuxdesk
