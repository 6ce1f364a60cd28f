// What the system did to the world's desktop, one typed event at a time, in order. Paths are
// absolute as the system gave them; only the scenario driver writes events out, and shortens
// paths as it does.
#pragma once

#include "platform/types/MacTypes.h"

#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <variant>

namespace platform::world::events {

// A stop alert, with the answer the scripted user gave.
struct Alert {
    QString message;
    std::optional<QString> detail;
    QStringList buttons;
    int answer = 1;
};
struct Beep {};
struct Sound {
    QString name;
};
struct Log {
    QString line;
};
struct Notification {
    QString name;
    QString object;
};
// A notice shown to the user outside any alert.
struct UserNotice {
    QString text;
};
// A script run through the scripting component, and how it ended.
struct Script {
    QString text;
    OSStatus status = noErr;
};
struct Open {
    QString path;
};
struct Reveal {
    QString path;
};
struct Launch {
    QString application;
};
struct Quit {};
// Velmora brought itself to the front.
struct Front {};
struct FinderUpdate {
    QString path;
};
struct DesktopPicture {
    QString path;
};
struct HideOthers {};
struct Activate {
    QString application;
};
struct PreviewFromClipboard {};
// A new message in Mail: the paths of its attachments, in order, and its text.
struct MailMessage {
    QStringList attachments;
    QString names;
};
// A keystroke sent to the application in front: "copy" or "paste".
struct Keystroke {
    QString name;
};
// What the system wrote to standard output; writes that follow each other make one event.
struct Stdout {
    QString text;
};
// The preference window brought to the front, with the state of each box by its key.
struct PreferencesWindow {
    std::map<QString, bool> boxes;
};
// A text window brought to the front, with the text its text view shows.
struct Window {
    QString title;
    QString text;
};
// A scenario's choice that found no item (or a disabled one): the titles down the submenus, or
// the tool tip it looked for.
struct Unchosen {
    bool disabled = false;
    std::variant<QStringList, QString> wanted;
};

} // namespace platform::world::events

namespace platform::world {

using Event =
    std::variant<events::Alert, events::Beep, events::Sound, events::Log, events::Notification,
                 events::Script, events::Open, events::Reveal, events::Launch, events::Quit,
                 events::Front, events::FinderUpdate, events::DesktopPicture, events::HideOthers,
                 events::Activate, events::PreviewFromClipboard, events::MailMessage,
                 events::Keystroke, events::Stdout, events::Window, events::PreferencesWindow,
                 events::Unchosen, events::UserNotice>;

} // namespace platform::world
