#include "platform/local/system/LoginItems.h"

#include "platform/local/files/AtomicFile.h"
#include "platform/local/files/ReadOnlyFile.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

const QString kEntryName = QStringLiteral("velmora.desktop");
constexpr qint64 kMaxEntrySize = 64 * 1024;

QString entryPath(const QString& folder) {
    return folder + u'/' + kEntryName;
}

// A desktop entry's Exec value: the path quoted, as the entry rules ask for one holding
// blanks or quotes.
QString ExecValue(const QString& executable) {
    QString quoted = executable;
    quoted.replace(u'\\', QStringLiteral("\\\\\\\\"));
    quoted.replace(u'"', QStringLiteral("\\\\\""));
    quoted.replace(u'`', QStringLiteral("\\\\`"));
    quoted.replace(u'$', QStringLiteral("\\\\$"));
    return u'"' + quoted + u'"';
}

QString Reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

QString AutostartFolder(const QString& configHome) {
    return configHome + QStringLiteral("/autostart");
}

bool LoginItemEnabled(const QString& autostartFolder) {
    const auto entry = ReadRegularFile(entryPath(autostartFolder), kMaxEntrySize);
    if (!entry)
        return false;
    for (const QByteArray& raw : entry->split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false")
            return false;
    }
    return true;
}

bool SetLoginItemEnabled(const QString& autostartFolder, const QString& executable, bool enabled,
                         QString* error) {
    const QString path = entryPath(autostartFolder);
    if (!enabled) {
        if (::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT ||
            errno == ENOTDIR)
            return true;
        *error = QStringLiteral("%1 could not be removed: %2").arg(path, Reason(errno));
        return false;
    }
    if (!QDir().mkpath(autostartFolder)) {
        *error = QStringLiteral("The folder %1 could not be made.").arg(autostartFolder);
        return false;
    }
    const QByteArray entry =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Velmora\n"
                       "Comment=Velmora's tray menu, started with the session\n"
                       "Exec=%1\n"
                       "Icon=velmora\n"
                       "Terminal=false\n"
                       "NoDisplay=true\n"
                       "X-GNOME-Autostart-enabled=true\n")
            .arg(ExecValue(executable))
            .toUtf8();
    int written = 0;
    if (!platform::WriteFileAtomically(QFile::encodeName(path).toStdString(), entry.constData(),
                                       size_t(entry.size()),
                                       platform::AtomicFile::Existing::Replace,
                                       platform::AtomicFile::Permissions::AsBefore, &written)) {
        *error = QStringLiteral("%1 could not be written: %2").arg(path, Reason(written));
        return false;
    }
    return true;
}
