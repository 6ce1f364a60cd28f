// An in-memory desktop with a scripted user, for tests and the scenario driver.
//
// The world owns a temporary folder holding the scenario's root (the user's files), a home
// folder and the temporary-items folder. Its services act on those real files through the
// shared local services, answer from the state set here, and record everything the system does
// to the desktop as events, in order.
#pragma once

#include "platform/services/Platform.h"
#include "platform/types/MacTypes.h"
#include "platform/world/WorldEvents.h"

#include <QByteArray>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QString>
#include <QTemporaryDir>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace platform {
class PreferenceStore;
}

namespace platform::world {

class WorldStatusItem;

// One element of the Finder's selection, as the scenario gives it.
struct SelectionElement {
    enum class Form {
        Object, // an object specifier the Finder resolves through an alias
        File,   // a file reference
        Other,  // a file URL, to be coerced to a file reference
        Broken, // an object specifier the Finder cannot resolve
    };
    QByteArray path; // absolute
    Form form = Form::Object;
};

struct FinderState {
    std::vector<SelectionElement> selection;
    bool running = true;
    std::optional<QString> desktopPicture; // absolute
};

struct MailState {
    // The senders of the selected messages, one a line, newest first; none when no message is
    // selected.
    std::optional<QString> senders;
};

// One pasteboard item: its flavors in the order the item offers them.
struct PasteboardItem {
    std::vector<std::pair<QString, QByteArray>> flavors;
    bool operator==(const PasteboardItem&) const = default;
};

struct ClipboardState {
    std::vector<PasteboardItem> items;
    std::map<FourCharCode, QByteArray> scrap;
    bool ownedBySystem = false; // the system cleared it last
    // Another application owns it and never lets go: clearing it neither empties it nor makes
    // the system its owner.
    bool heldByOther = false;
    bool modified = true; // since the system last synchronised
};

struct FrontApplication {
    QString name;
    QString bundle; // absolute, or empty when the application has no place on disk
    // What is selected in it: the copy keystroke puts it on the clipboard, at once or after
    // `copyDelay`, or never when it does not answer the keystroke.
    std::optional<QString> selectedText;
    std::chrono::milliseconds copyDelay{0};
    bool answersCopy = true;
};

// A copy keystroke the front application answers later: the text it puts on the clipboard then.
struct PendingCopy {
    QString text;
    QDeadlineTimer due;
};

struct ApplicationState {
    bool installed = true;
    bool running = false;
    // A browser's front window: its title, or none when it has no window.
    std::optional<QString> windowTitle;
};

class World {
public:
    World();
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    bool isValid() const;
    QString root() const { return m_root; }
    QString home() const { return m_home; }
    QString temp() const { return m_temp; }
    // The desktop's file mapping table, in the form of /etc/mime.types; a short one is written
    // when the world is made, and a test may write its own.
    QString fileMappingTable() const { return m_dir.path() + QStringLiteral("/mime.types"); }

    // "$ROOT/", "$HOME/" or "$TEMP/" at the start of `text` replaced by the folder's path.
    QString expand(const QString& text) const;
    // The reverse, for absolute paths in what is reported.
    QString abbreviate(const QString& path) const;
    // Every mention of the three folders in a text (a script, say) written the short way.
    QString abbreviateWithin(const QString& text) const;

    FinderState finder;
    ClipboardState clipboard;
    MailState mail;
    std::optional<FrontApplication> frontApp;
    std::optional<PendingCopy> pendingCopy;
    // The front application's text on the clipboard, as its copy puts it there.
    void copyToClipboard(const QString& text);
    // The pending copy, once it is due.
    void answerDueCopy();
    // By name; the Finder and System Events are part of the desktop and always there, and Mail
    // is installed unless a scenario says otherwise.
    std::map<QString, ApplicationState> applications;
    // The answers the user gives to alerts with a choice, in order; 1 once they run out.
    std::deque<int> alertAnswers;
    // The paths the user chooses in save panels, in order (absolute; none cancels); once they
    // run out, the panel is cancelled.
    std::deque<std::optional<QString>> savePanelAnswers;
    // The folders the choose-folder dialog answers, in order; none is a cancel, as is running out.
    std::deque<std::optional<QString>> chooseFolderAnswers;
    // The time the world's clock shows; none: the real time.
    std::optional<QDateTime> now;
    // The spell checker's word list; none: the desktop has none.
    std::optional<QStringList> words;
    // The application's resources: the project's own unless a test puts others in place.
    QString resourceFolder;
    // Where the helper programs are: the build's own unless a test puts others in place.
    QString helperFolder;

    // Where an installed application lives.
    static QString applicationPath(const QString& name);

    PreferenceStore& preferences();

    void record(Event event);
    // Standard output joins the last event when that is standard output too.
    void appendStandardOutput(const QString& text);
    const std::vector<Event>& events() const { return m_events; }
    // The events of one kind, in order.
    template <typename Kind> std::vector<Kind> eventsOf() const {
        std::vector<Kind> found;
        for (const Event& event : m_events) {
            if (const auto* kind = std::get_if<Kind>(&event))
                found.push_back(*kind);
        }
        return found;
    }

    // The status item the system made last, or null.
    WorldStatusItem* statusItem() const { return m_statusItem; }
    void setStatusItem(WorldStatusItem* item) { m_statusItem = item; }

    const Services& services() const { return m_services; }

private:
    QTemporaryDir m_dir;
    QString m_root, m_home, m_temp;
    std::vector<Event> m_events;
    WorldStatusItem* m_statusItem = nullptr;
    struct Backends;
    std::unique_ptr<Backends> m_backends;
    Services m_services;
};

} // namespace platform::world
