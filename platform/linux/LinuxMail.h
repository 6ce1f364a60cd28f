// The user's mail client on Linux: which one it is, and a new message handed to it with files
// attached.
#pragma once

#include <QString>
#include <QStringList>

namespace platform::linuxdesk {

// True when the desktop's handler of mailto: links is Thunderbird.
bool ThunderbirdIsTheMailClient();

// Thunderbird's compose window with the files attached and `subject`; false when Thunderbird
// could not be started. Its -compose option takes a list of key='value' pairs that has no
// escapes: the file URLs are percent-encoded, and a quote in the subject becomes a typographic
// apostrophe.
bool ComposeInThunderbird(const QStringList& paths, const QString& subject);

// The mail client xdg-email starts, with the files attached and `subject`; false when xdg-email
// is not installed. When there is none, or it fails, a notice names the message by `subject`
// (the items' names), never by the paths of the archives made for it.
bool ComposeWithXdgEmail(const QStringList& paths, const QString& subject);
void SayNoMailClient(const QString& subject);

} // namespace platform::linuxdesk
