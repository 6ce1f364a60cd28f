#include "platform/linux/gnome/ShellWindows.h"

#include "platform/services/SystemLog.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>

namespace platform::linuxdesk::gnome {

namespace {

using namespace std::chrono_literals;

const QString kService = QStringLiteral("org.gnome.Shell");
const QString kPath = QStringLiteral("/io/velmora/ShellWindows");
const QString kInterface = QStringLiteral("io.velmora.ShellWindows");
// A question the Shell answers from memory; and the keystroke, which waits for the window to
// come in front.
constexpr auto kAnswerLimit = 1000ms;
constexpr auto kKeystrokeLimit = 2000ms;
// After a timeout the Shell is left alone this long: a hung Shell costs one wait, not one at
// every opening.
constexpr auto kPauseAfterTimeout = 10s;

ShellWindow readWindow(const QDBusArgument& argument) {
    ShellWindow window;
    argument.beginStructure();
    argument >> window.id >> window.applicationId >> window.title >> window.pid;
    argument.endStructure();
    return window;
}

} // namespace

std::optional<QList<QVariant>> ShellWindows::call(const QString& method,
                                                  const QList<QVariant>& arguments,
                                                  std::chrono::milliseconds limit) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    message.setArguments(arguments);
    // Blocking without an event loop: the menu being built is not re-entered meanwhile.
    const QDBusMessage reply = bus.call(message, QDBus::Block, static_cast<int>(limit.count()));
    if (reply.type() == QDBusMessage::ReplyMessage)
        return reply.arguments();
    const bool timedOut = reply.errorName() == QDBusError::errorString(QDBusError::Timeout) ||
                          reply.errorName() == QDBusError::errorString(QDBusError::NoReply);
    becomeAbsent(reply.errorName() + QStringLiteral(": ") + reply.errorMessage(), timedOut);
    return std::nullopt;
}

void ShellWindows::becomeAbsent(const QString& why, bool timedOut) {
    m_state = State::Absent;
    m_askAgainAt = std::chrono::steady_clock::now() + (timedOut ? kPauseAfterTimeout : 0s);
    if (m_said == why)
        return;
    m_said = why;
    NSLog(QStringLiteral("GNOME Shell's Velmora extension does not answer (%1); "
                         "the front application, \"Hide Others\" and the keystrokes reach X11 "
                         "windows only, and text Velmora copies may not reach native ones. To "
                         "enable it: gnome-extensions enable velmora@velmora.io (GNOME 45 "
                         "and later) or velmora-legacy@velmora.io (GNOME 43 and 44)")
              .arg(why));
}

bool ShellWindows::available() {
    if (m_state == State::Present)
        return true;
    if (m_state == State::Absent && std::chrono::steady_clock::now() < m_askAgainAt)
        return false;
    const auto reply = call(QStringLiteral("Version"), {}, kAnswerLimit);
    if (!reply)
        return false;
    const quint32 version = reply->value(0).toUInt();
    if (version != kInterfaceVersion) {
        becomeAbsent(
            QStringLiteral("interface version %1, not %2").arg(version).arg(kInterfaceVersion),
            false);
        return false;
    }
    m_state = State::Present;
    if (m_said != QLatin1String("present")) {
        m_said = QStringLiteral("present");
        NSLog(QStringLiteral("GNOME Shell's Velmora extension answers"));
    }
    return true;
}

std::optional<ShellWindow> ShellWindows::focusedWindow() {
    const auto reply = call(QStringLiteral("FocusedWindow"), {}, kAnswerLimit);
    if (!reply || reply->isEmpty())
        return std::nullopt;
    const ShellWindow window = readWindow(reply->at(0).value<QDBusArgument>());
    return window.id ? std::optional(window) : std::nullopt;
}

std::vector<ShellWindow> ShellWindows::windows(const QString& applicationId) {
    const auto reply = call(QStringLiteral("Windows"), {applicationId}, kAnswerLimit);
    std::vector<ShellWindow> found;
    if (!reply || reply->isEmpty())
        return found;
    const auto list = reply->at(0).value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd())
        found.push_back(readWindow(list));
    list.endArray();
    return found;
}

bool ShellWindows::boolCall(const QString& method, const QList<QVariant>& arguments,
                            std::chrono::milliseconds limit) {
    const auto reply = call(method, arguments, limit);
    return reply && !reply->isEmpty() && reply->at(0).toBool();
}

bool ShellWindows::exists(quint64 id) {
    return boolCall(QStringLiteral("HasWindow"), {QVariant::fromValue(id)}, kAnswerLimit);
}

bool ShellWindows::hideOthers(quint64 front) {
    return boolCall(QStringLiteral("HideOthers"), {QVariant::fromValue(front)}, kAnswerLimit);
}

bool ShellWindows::activate(quint64 id) {
    return boolCall(QStringLiteral("Activate"), {QVariant::fromValue(id)}, kKeystrokeLimit);
}

bool ShellWindows::sendKeystroke(quint64 id, ShellKeystroke keystroke) {
    const QString key =
        keystroke == ShellKeystroke::Copy ? QStringLiteral("copy") : QStringLiteral("paste");
    return boolCall(QStringLiteral("SendKeystroke"), {QVariant::fromValue(id), key},
                    kKeystrokeLimit);
}

bool ShellWindows::setClipboardText(const QString& text) {
    return boolCall(QStringLiteral("SetClipboardText"), {text}, kAnswerLimit);
}

ShellWindows& SessionShell() {
    static ShellWindows shell;
    return shell;
}

} // namespace platform::linuxdesk::gnome
