// Web location files that keep their address in the file itself, as they reach a Linux user:
//
//   name.webloc   a property list (XML or binary) whose top dictionary holds the key "URL", as
//                 macOS has written them since it stopped using resource forks;
//   name.url      a Windows Internet shortcut: "URL=" in the section [InternetShortcut];
//   name.desktop  a freedesktop desktop entry of Type=Link: "URL=" in [Desktop Entry].
//
// These files come from anywhere. Each reader looks at a bounded number of bytes, never
// recurses into what a file nests, checks every offset and count a binary property list claims
// against the bytes that hold it, and hands back only http and https addresses: a location
// that names a script (javascript:), a local file (file:) or any other scheme holds nothing a
// site icon can be fetched for.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The largest web location file read: real ones are a few hundred bytes.
inline constexpr qint64 kMaxWebLocationFileSize = 64 * 1024;

// The "URL" string of a property list's top dictionary, XML or binary ("bplist00").
std::optional<QString> PropertyListWebAddress(const QByteArray& bytes);

// The "URL=" value of an Internet shortcut's [InternetShortcut] section.
std::optional<QString> InternetShortcutWebAddress(const QByteArray& bytes);

// The "URL=" value of a desktop entry whose [Desktop Entry] group says Type=Link.
std::optional<QString> DesktopLinkWebAddress(const QByteArray& bytes);

// True when the name's extension is one of a web location that keeps its address inside:
// "url" or "desktop" (any letter case); "webloc" is a web location by its name alone.
bool IsInternetShortcutName(const QString& name);
bool IsDesktopEntryName(const QString& name);

// The http or https address the file at `path` holds in itself, read by its extension;
// none for a symbolic link, anything but a regular file, a file over the cap, or a file
// holding no such address.
std::optional<QString> ReadWebLocationFile(const QString& path);

// True when the file at `path` is a desktop entry of Type=Link, read as above, whatever its
// address.
bool IsDesktopLinkFile(const QString& path);
