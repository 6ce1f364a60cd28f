#include "platform/linux/DesktopEntries.h"
#include "platform/linux/LinuxBrowsers.h"
#include "platform/linux/LinuxServices.h"
#include "platform/linux/TemporaryItems.h"
#include "platform/local/files/FileUri.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

namespace platform::linuxdesk {

namespace {

bool themeInstalled(const QString& theme) {
    if (theme.isEmpty())
        return false;
    for (const QString& folder : QIcon::themeSearchPaths()) {
        if (QFileInfo::exists(folder + u'/' + theme + QStringLiteral("/index.theme")))
            return true;
    }
    return false;
}

} // namespace

LinuxWorkspace::LinuxWorkspace() {
    // Without a desktop's platform theme (a bare X server, a tray-only session) Qt looks for
    // icon themes in its resources alone; the themes live in the XDG data folders.
    QStringList searchPaths = QIcon::themeSearchPaths();
    searchPaths.append(QDir::homePath() + QStringLiteral("/.icons"));
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        searchPaths.append(data + QStringLiteral("/icons"));
    searchPaths.removeDuplicates();
    QIcon::setThemeSearchPaths(searchPaths);

    // hicolor is only the fallback every theme inherits; it has no icons for file types.
    QString theme = QIcon::themeName();
    if (theme == QLatin1String("hicolor") || !themeInstalled(theme)) {
        for (const char* candidate :
             {"Adwaita", "breeze", "Papirus", "elementary", "gnome", "Tango", "hicolor"}) {
            if (themeInstalled(QString::fromLatin1(candidate))) {
                theme = QString::fromLatin1(candidate);
                break;
            }
        }
    }
    QIcon::setThemeName(theme);
}

bool LinuxWorkspace::openFile(const QString& path) {
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        ShowDesktopNotice(QStringLiteral("Nothing here opens files: xdg-open is not installed."));
        return false;
    }
    // Without a parent, so that quitting Velmora never stops an application xdg-open still waits
    // for; it goes once xdg-open has finished.
    auto* process = new QProcess;
    process->setProgram(opener);
    process->setArguments({path});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    // What was asked of the command is done by then (a picture written, a PDF combined): the
    // notice says only that it could not be shown, and where it is.
    QObject::connect(
        process, &QProcess::finished, process,
        [process, path](int code, QProcess::ExitStatus status) {
            if (status != QProcess::NormalExit || code != 0)
                ShowDesktopNotice(
                    QFileInfo(path).isDir()
                        ? QStringLiteral(
                              "No file manager could show the folder \u201c%1\u201d. It is "
                              "at %2.")
                              .arg(QFileInfo(path).fileName(), path)
                        : QStringLiteral("No application could open \u201c%1\u201d. It is at %2.")
                              .arg(QFileInfo(path).fileName(), path));
            process->deleteLater();
        });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart)
                             process->deleteLater();
                     });
    process->start();
    return true;
}

std::optional<QIcon> LinuxWorkspace::iconForFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    // An application's desktop entry stands for the application: its own icon.
    if (info.suffix() == QLatin1String("desktop")) {
        if (const auto entry = ReadDesktopEntry(path); entry && !entry->icon.isEmpty()) {
            QIcon icon = QDir::isAbsolutePath(entry->icon) ? QIcon(entry->icon)
                                                           : QIcon::fromTheme(entry->icon);
            if (!icon.isNull())
                return icon;
        }
    }
    static const QMimeDatabase mimeTypes;
    const QMimeType type = mimeTypes.mimeTypeForFile(info);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(info.isDir() ? QStringLiteral("folder")
                                             : QStringLiteral("text-x-generic"));
    if (icon.isNull())
        return std::nullopt;
    return icon;
}

std::optional<QString> LinuxWorkspace::fullPathForApplication(const QString& name) {
    // A browser's desktop entry may carry another name ("Firefox ESR").
    if (const LinuxBrowser* browser = LinuxBrowserNamed(name)) {
        for (const QString& entry : browser->desktopEntries) {
            const QString path =
                QStandardPaths::locate(QStandardPaths::ApplicationsLocation, entry);
            if (!path.isEmpty())
                return path;
        }
    }
    // The entries are read once, and again only when an applications folder changes: a name
    // that is not installed costs a look through a list, not a read of every entry.
    for (const DesktopEntry& entry : ApplicationDesktopEntries()) {
        if (entry.name == name)
            return entry.path;
    }
    return std::nullopt;
}

// gio knows how to start a desktop entry (its Exec line, field codes, D-Bus activation).
bool LinuxWorkspace::launchApplication(const QString& path) {
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (gio.isEmpty() || !QFileInfo::exists(path))
        return false;
    return QProcess::startDetached(gio, {QStringLiteral("launch"), path});
}

bool LinuxWorkspace::selectFile(const QString& path) {
    if (!QFileInfo::exists(path))
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QString::fromLatin1(platform::encodeFileUri(QFile::encodeName(path)))}
         << QString();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    return openFile(QFileInfo(path).absolutePath());
}

namespace {

// The gvfs metadata daemon, started by the session bus the first time a GIO client asks for it.
bool GvfsMetadataAvailable() {
    static const QString kMetadata = QStringLiteral("org.gtk.vfs.Metadata");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const QDBusMessage reply =
        bus.call(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                QStringLiteral("/org/freedesktop/DBus"),
                                                QStringLiteral("org.freedesktop.DBus"),
                                                QStringLiteral("ListActivatableNames")),
                 QDBus::Block, 2000);
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
        reply.arguments().first().toStringList().contains(kMetadata))
        return true;
    return bus.interface() && bus.interface()->isServiceRegistered(kMetadata);
}

} // namespace

void LinuxWorkspace::customIconChanged(const QString& path,
                                       const std::optional<QString>& iconFile) {
    static const bool available = GvfsMetadataAvailable();
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (!available || gio.isEmpty())
        return;
    const QString attribute = QStringLiteral("metadata::custom-icon");
    QStringList arguments{QStringLiteral("set")};
    if (iconFile)
        arguments << path << attribute
                  << QString::fromLatin1(platform::encodeFileUri(QFile::encodeName(*iconFile)));
    else
        arguments << QStringLiteral("-t") << QStringLiteral("unset") << path << attribute;
    // Waited for, so that the file manager has the icon when the command's alert or the next
    // item comes; a metadata daemon that hangs costs a few seconds, no more.
    QProcess process;
    process.start(gio, arguments);
    if (!process.waitForFinished(3000))
        process.kill();
    process.waitForFinished(1000);
}

LinuxLocations::LinuxLocations(QString home, QByteArray runtimeDir, QByteArray cacheHome,
                               QByteArray dataHome, QByteArray configHome)
    : m_home(std::move(home)), m_runtimeDir(std::move(runtimeDir)),
      m_cacheHome(std::move(cacheHome)), m_dataHome(std::move(dataHome)),
      m_configHome(std::move(configHome)) {}

QString LinuxLocations::helperPrograms() const {
    return QCoreApplication::applicationDirPath();
}

// An XDG_DATA_HOME that is not absolute is ignored, as the base-directory rules say.
QString LinuxLocations::dataHome() const {
    const QString data = QFile::decodeName(m_dataHome);
    if (QFileInfo(data).isAbsolute())
        return data;
    return m_home + QStringLiteral("/.local/share");
}

QString LinuxLocations::cacheHome() const {
    const QString cache = QFile::decodeName(m_cacheHome);
    if (QFileInfo(cache).isAbsolute())
        return cache;
    return m_home + QStringLiteral("/.cache");
}

QString LinuxLocations::configHome() const {
    const QString config = QFile::decodeName(m_configHome);
    if (QFileInfo(config).isAbsolute())
        return config;
    return m_home + QStringLiteral("/.config");
}

QString LinuxLocations::temporaryItems() const {
    return QFile::decodeName(
        temporaryItemsFolder(m_runtimeDir, m_cacheHome, QFile::encodeName(m_home)));
}

// Installed, the resources sit in share/velmora beside bin/; run from the build tree they are
// the source tree's.
QString LinuxLocations::resourceDir() const {
    const QString installed =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/velmora/resources");
    if (QFileInfo::exists(installed + QStringLiteral("/images")))
        return QDir::cleanPath(installed);
    return QStringLiteral(VELMORA_RESOURCE_DIR);
}

void LinuxApplication::terminate() {
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

} // namespace platform::linuxdesk
