#include "platform/linux/DesktopEntries.h"

#include "platform/local/files/ReadOnlyFile.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

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

// Each menu asks for the front application: the entries are read again only when a folder of
// them has changed (an application installed or removed) or the folders are others.
std::vector<DesktopEntry> ApplicationDesktopEntries() {
    static QStringList cachedFolders;
    static QList<QDateTime> cachedStamps;
    static std::vector<DesktopEntry> cached;
    const QStringList folders =
        QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    QList<QDateTime> stamps;
    for (const QString& folder : folders)
        stamps.append(QFileInfo(folder).lastModified());
    if (folders == cachedFolders && stamps == cachedStamps)
        return cached;
    std::vector<DesktopEntry> entries;
    QSet<QString> seen;
    for (const QString& folder : folders) {
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
