#include "platform/linux/DesktopEntries.h"

#include "platform/local/files/FileDescriptor.h"
#include "platform/local/files/ReadOnlyFile.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

#include <mutex>
#include <sys/inotify.h>
#include <unistd.h>

namespace platform::linuxdesk {

namespace {

// Desktop entries are a few kilobytes; a bigger file is not one.
constexpr qint64 kMaxEntrySize = 1 << 20;

// The program of an Exec line: its first word, quoted or not.
QString programOf(const QString& exec) {
    const QString line = exec.trimmed();
    if (line.startsWith(u'"')) {
        const qsizetype end = line.indexOf(u'"', 1);
        return line.mid(1, end < 0 ? -1 : end - 1);
    }
    return line.section(u' ', 0, 0);
}

} // namespace

std::optional<DesktopEntry> ReadDesktopEntry(const QString& path) {
    const auto bytes = ReadRegularFile(path, kMaxEntrySize);
    if (!bytes)
        return std::nullopt;
    DesktopEntry entry;
    entry.path = path;
    bool inGroup = false;
    QString type;
    bool hidden = false;
    for (const QByteArray& raw : bytes->split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inGroup || line.startsWith(u'#') || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("Name"))
            entry.name = value;
        else if (key == QLatin1String("Exec"))
            entry.executable = QFileInfo(programOf(value)).fileName();
        else if (key == QLatin1String("Icon"))
            entry.icon = value;
        else if (key == QLatin1String("StartupWMClass"))
            entry.startupWMClass = value;
        else if (key == QLatin1String("Type"))
            type = value;
        else if (key == QLatin1String("Hidden"))
            hidden = value == QLatin1String("true");
    }
    if (type != QLatin1String("Application") || hidden || entry.name.isEmpty())
        return std::nullopt;
    return entry;
}

// Each menu asks for the front application and the browsers: the entries are read again only
// when something under the applications folders has changed. The kernel tells, through one
// inotify watch a folder, of every entry added, removed, renamed or rewritten in place (a
// folder's own time changes only for the first three, and not at all for its subfolders); the
// folders' list and times are compared too, for a folder made or removed since.
std::vector<DesktopEntry> ApplicationDesktopEntries() {
    // Commands at work off the menu's thread look applications up too.
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    static QStringList cachedFolders;
    static QList<QDateTime> cachedStamps;
    static std::vector<DesktopEntry> cached;
    static FileDescriptor changes;
    const QStringList folders =
        QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    QList<QDateTime> stamps;
    for (const QString& folder : folders)
        stamps.append(QFileInfo(folder).lastModified());
    bool changed = !changes.valid();
    if (changes.valid()) {
        // Whatever the events say, they say that something changed: they are only drained.
        alignas(inotify_event) char events[4096];
        while (::read(changes.get(), events, sizeof events) > 0)
            changed = true;
    }
    if (!changed && folders == cachedFolders && stamps == cachedStamps)
        return cached;
    changes = FileDescriptor(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    constexpr uint32_t kChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                  IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_DELETE_SELF |
                                  IN_MOVE_SELF | IN_ONLYDIR;
    std::vector<DesktopEntry> entries;
    QSet<QString> seen;
    for (const QString& folder : folders) {
        if (changes.valid())
            inotify_add_watch(changes.get(), QFile::encodeName(folder).constData(), kChanges);
        QDirIterator subfolders(folder, QDir::Dirs | QDir::NoDotAndDotDot,
                                QDirIterator::Subdirectories);
        while (changes.valid() && subfolders.hasNext())
            inotify_add_watch(changes.get(), QFile::encodeName(subfolders.next()).constData(),
                              kChanges);
        QDirIterator files(folder, {QStringLiteral("*.desktop")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            // The desktop-file ID: the path below the folder, its slashes as dashes.
            QString id = path.mid(folder.size() + 1);
            id.replace(u'/', u'-');
            if (seen.contains(id))
                continue;
            seen.insert(id);
            if (auto entry = ReadDesktopEntry(path))
                entries.push_back(std::move(*entry));
        }
    }
    cachedFolders = folders;
    cachedStamps = stamps;
    cached = entries;
    return entries;
}

std::optional<DesktopEntry> DesktopEntryForApplication(const QString& windowClass,
                                                       const QString& executable) {
    const std::vector<DesktopEntry> entries = ApplicationDesktopEntries();
    const auto find = [&](auto matches) -> std::optional<DesktopEntry> {
        for (const DesktopEntry& entry : entries) {
            if (matches(entry))
                return entry;
        }
        return std::nullopt;
    };
    if (!windowClass.isEmpty()) {
        if (auto entry = find([&](const DesktopEntry& e) {
                return e.startupWMClass.compare(windowClass, Qt::CaseInsensitive) == 0;
            }))
            return entry;
    }
    if (!executable.isEmpty()) {
        if (auto entry = find([&](const DesktopEntry& e) { return e.executable == executable; }))
            return entry;
    }
    if (!windowClass.isEmpty()) {
        const QString file = windowClass.toLower() + QStringLiteral(".desktop");
        return find([&](const DesktopEntry& e) { return QFileInfo(e.path).fileName() == file; });
    }
    return std::nullopt;
}

// A binary replaced by an update since the process started reads " (deleted)".
QString ProcessExecutableName(pid_t pid) {
    QString target = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
    target.remove(QStringLiteral(" (deleted)"));
    return QFileInfo(target).fileName();
}

} // namespace platform::linuxdesk
