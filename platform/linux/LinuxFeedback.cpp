// Alerts, sounds, the system log and session notifications on the Linux desktop.
#include "platform/linux/LinuxServices.h"

#include "platform/local/files/ReadOnlyFile.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QWidget>
#include <cstdio>
#include <syslog.h>
#include <vector>

namespace platform::linuxdesk {

namespace {

const QString kSystemWordList = QStringLiteral("/usr/share/dict/words");
// The largest word lists Debian ships are a few megabytes.
constexpr qint64 kMaxWordListBytes = 64 * 1024 * 1024;

// The freedesktop sound theme's names for the classic system sounds, best first.
QStringList themeSoundsFor(const QString& name) {
    if (name == QLatin1String("Ping"))
        return {QStringLiteral("complete"), QStringLiteral("message")};
    return {name.toLower()};
}

std::optional<QString> themeSoundFile(const QString& name) {
    for (const QString& themeName : themeSoundsFor(name)) {
        for (const char* extension : {".oga", ".ogg", ".wav"}) {
            const QString relative =
                QStringLiteral("sounds/freedesktop/stereo/") + themeName + QLatin1String(extension);
            const QString found =
                QStandardPaths::locate(QStandardPaths::GenericDataLocation, relative);
            if (!found.isEmpty())
                return found;
        }
    }
    return std::nullopt;
}

} // namespace

int LinuxAlerts::runStopAlert(const QString& message, const std::optional<QString>& detail,
                              const QStringList& buttons) {
    if (buttons.isEmpty())
        return -1;
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Velmora"), message);
    box.setWindowModality(Qt::ApplicationModal);
    if (detail)
        box.setInformativeText(*detail);
    std::vector<QPushButton*> added;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        const bool cancels = buttons.size() > 1 && i == buttons.size() - 1;
        added.push_back(
            box.addButton(buttons[i], cancels ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
    }
    box.setDefaultButton(added.front());
    box.setEscapeButton(added.back());
    box.exec();
    for (size_t i = 0; i < added.size(); ++i) {
        if (box.clickedButton() == added[i])
            return int(i) + 1;
    }
    return int(added.size());
}

QString LinuxAlerts::startFolder() const {
    if (!m_lastFolder.isEmpty() && QFileInfo(m_lastFolder).isDir())
        return m_lastFolder;
    return m_home;
}

std::optional<QString> LinuxAlerts::runSavePanel(const QString& requiredType,
                                                 const QString& initialName) {
    QFileDialog panel(nullptr, QStringLiteral("Velmora"));
    panel.setAcceptMode(QFileDialog::AcceptSave);
    panel.setFileMode(QFileDialog::AnyFile);
    panel.setDefaultSuffix(requiredType);
    panel.setNameFilter(QStringLiteral("%1 (*.%2)").arg(requiredType.toUpper(), requiredType));
    panel.setDirectory(startFolder());
    panel.selectFile(initialName);
    panel.setWindowModality(Qt::ApplicationModal);
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return std::nullopt;
    QString path = panel.selectedFiles().first();
    if (!path.endsWith(u'.' + requiredType, Qt::CaseInsensitive))
        path += u'.' + requiredType;
    m_lastFolder = QFileInfo(path).absolutePath();
    return path;
}

std::optional<QString> LinuxAlerts::runChooseFolder(const QString& title, const QString& button,
                                                    const QString& message) {
    QFileDialog dialog(nullptr, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setLabelText(QFileDialog::Accept, button);
    dialog.setDirectory(startFolder());
    // Qt's dialog lays its rows out in one grid whose first row is "Look in:"; every row moves
    // down one, so that the message has the first row to itself.
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        struct Placed {
            QLayoutItem* item;
            int row, column, rows, columns;
        };
        const int width = grid->columnCount();
        std::vector<Placed> placed;
        while (grid->count() > 0) {
            Placed next{};
            grid->getItemPosition(0, &next.row, &next.column, &next.rows, &next.columns);
            next.item = grid->takeAt(0);
            placed.push_back(next);
        }
        auto* label = new QLabel(message, &dialog);
        label->setObjectName(QStringLiteral("velmora-prompt"));
        label->setWordWrap(true);
        grid->addWidget(label, 0, 0, 1, width);
        for (const Placed& item : placed)
            grid->addItem(item.item, item.row + 1, item.column, item.rows, item.columns);
    }
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString folder = dialog.selectedFiles().first();
    if (!QFileInfo(folder).isDir())
        return std::nullopt;
    m_lastFolder = folder;
    return folder;
}

void LinuxSounds::beep() {
    QApplication::beep();
}

bool LinuxSounds::playSound(const QString& name) {
    const auto file = themeSoundFile(name);
    if (!file)
        return false;
    for (const char* player : {"pw-play", "paplay"}) {
        const QString program = QStandardPaths::findExecutable(QLatin1String(player));
        if (!program.isEmpty())
            return QProcess::startDetached(program, {*file});
    }
    const QString canberra = QStandardPaths::findExecutable(QStringLiteral("canberra-gtk-play"));
    if (!canberra.isEmpty())
        return QProcess::startDetached(canberra, {QStringLiteral("-f"), *file});
    return false;
}

LinuxLog::LinuxLog() {
    openlog("velmora", LOG_PID, LOG_USER);
}

void LinuxLog::log(const QString& line) {
    const QByteArray text = line.toUtf8();
    std::fprintf(stderr, "velmora: %s\n", text.constData());
    syslog(LOG_NOTICE, "%s", text.constData());
}

void LinuxOutput::write(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void LinuxWindows::makeKeyAndOrderFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

std::optional<QStringList> LinuxWordCompletion::completions(const QString& partial) {
    if (!m_loaded) {
        m_loaded = true;
        if (const auto list = ReadRegularFile(kSystemWordList, kMaxWordListBytes))
            m_index = std::make_unique<WordIndex>(*list);
    }
    if (!m_index || m_index->isEmpty())
        return std::nullopt;
    return m_index->completions(partial);
}

namespace {

// How long a notification server has to take a notice before a window says it instead.
constexpr int kNotifyTimeoutMs = 5000;

// A window of its own for a notice no notification server took: not modal, since it may come
// while another alert or dialog is up, or from work that finished in the background.
void ShowNoticeWindow(const QString& text) {
    auto* box =
        new QMessageBox(QMessageBox::Warning, QStringLiteral("Velmora"), text, QMessageBox::Ok);
    box->setObjectName(QStringLiteral("velmora-notice"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    QApplication::beep();
    box->show();
}

} // namespace

void ShowDesktopNotice(const QString& text) {
    std::fprintf(stderr, "velmora: %s\n", text.toUtf8().constData());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        ShowNoticeWindow(text);
        return;
    }
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    notify << QStringLiteral("Velmora") << 0u << QStringLiteral("velmora")
           << QStringLiteral("Velmora") << text << QStringList() << QVariantMap() << -1;
    // Not waited for: the menu goes on while the server answers, and the window comes only when
    // it answers with an error (none on the bus) or not at all.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(notify, kNotifyTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [watcher, text](QDBusPendingCallWatcher*) {
                         if (watcher->isError())
                             ShowNoticeWindow(text);
                         watcher->deleteLater();
                     });
}

void LinuxNotifications::postDistributed(const QString& name, const QString& object, bool) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/io/velmora/Notifications"),
        QStringLiteral("io.velmora.DistributedNotifications"), QStringLiteral("Notification"));
    signal << name << object;
    bus.send(signal);
}

} // namespace platform::linuxdesk
