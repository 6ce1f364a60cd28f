#include "platform/linux/kde/KWinWindows.h"

#include "platform/services/SystemLog.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVirtualObject>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <unistd.h>

namespace platform::linuxdesk::kde {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const QString kKWin = QStringLiteral("org.kde.KWin");
const QString kScripting = QStringLiteral("org.kde.kwin.Scripting");
const QString kScript = QStringLiteral("org.kde.kwin.Script");
const QString kPath = QStringLiteral("/io/velmora/KWinWindows");
const QString kInterface = QStringLiteral("io.velmora.KWinWindows");
const QString kReport = QStringLiteral("Report");
// One call to KWin's scripting; loading and running a script takes it a few milliseconds.
constexpr auto kCallLimit = 500ms;
// The answer of a script loaded for one question.
constexpr auto kAnswerLimit = 1000ms;
// The watching script's first report. The script is loaded when Velmora starts, long before the
// first menu opens; a menu opening waits at most this long when it loads it again.
constexpr auto kFirstReportLimit = 100ms;
// After a failure KWin is left alone this long: a broken KWin costs one wait, not one at every
// opening.
constexpr auto kPauseAfterFailure = 10s;
// A report is a window's texts: a caption of thousands of characters fits many times over.
constexpr qsizetype kMaxReportBytes = 4 * 1024 * 1024;

KWinWindow readWindow(const QJsonObject& object, quint64 id) {
    return KWinWindow{id, object.value(QLatin1String("resourceClass")).toString(),
                      object.value(QLatin1String("desktopFileName")).toString(),
                      object.value(QLatin1String("caption")).toString(),
                      static_cast<quint32>(object.value(QLatin1String("pid")).toInteger())};
}

QString watchPlugin() {
    return QStringLiteral("velmora-windows-%1").arg(::getpid());
}

} // namespace

// What the receiving thread and the caller share, under the mutex.
struct KWinWindows::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    // The unique name of org.kde.KWin's owner when the script was loaded: the one sender
    // believed.
    QString kwin;
    bool reported = false;
    // The window KWin reports active; the one that stands for the front window; and the last
    // application window that was active, while it is open.
    std::optional<KWinWindow> active;
    std::optional<KWinWindow> front;
    std::optional<KWinWindow> lastFront;
    // The answer to the question loaded under this serial.
    unsigned awaited = 0;
    std::optional<QByteArray> answer;
    // KWin names windows by a UUID; Velmora by a number given at first sight.
    std::map<QString, quint64> ids;
    std::map<quint64, QString> uuids;
    quint64 nextId = 1;

    quint64 idFor(const QString& uuid) {
        auto [found, added] = ids.try_emplace(uuid, nextId);
        if (added)
            uuids.emplace(nextId++, uuid);
        return found->second;
    }

    void forgetKWin() {
        kwin.clear();
        reported = false;
        active.reset();
        front.reset();
        lastFront.reset();
    }

    // The watching script's report of the active window or of a window closed. Velmora's own
    // windows and the shell's stand aside for the application window active before them: KWin
    // may report no window active for a moment in between.
    void watched(const QJsonObject& report) {
        reported = true;
        const QJsonValue closed = report.value(QLatin1String("closed"));
        if (closed.isString()) {
            const auto found = ids.find(closed.toString());
            if (found != ids.end() && lastFront && lastFront->id == found->second)
                lastFront.reset();
            return;
        }
        const QJsonValue window = report.value(QLatin1String("window"));
        if (!window.isObject()) {
            active.reset();
            front.reset();
            return;
        }
        const QJsonObject object = window.toObject();
        active = readWindow(object, idFor(object.value(QLatin1String("id")).toString()));
        const bool ours = active->pid == static_cast<quint32>(::getpid());
        if (object.value(QLatin1String("normal")).toBool() && !ours)
            lastFront = active;
        front = lastFront;
    }
};

// Velmora's object on its own connection; KWin calls its Report method. It lives in a thread of
// its own, where QtDBus hands it the calls.
class Receiver : public QDBusVirtualObject {
public:
    explicit Receiver(std::shared_ptr<KWinWindows::Shared> shared) : m_shared(std::move(shared)) {}
    QString introspect(const QString&) const override {
        return QStringLiteral("<interface name=\"%1\"><method name=\"%2\">"
                              "<arg type=\"s\" direction=\"in\"/></method></interface>")
            .arg(kInterface, kReport);
    }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != kInterface || message.member() != kReport)
            return false;
        const QList<QVariant> arguments = message.arguments();
        std::unique_lock lock(m_shared->mutex);
        if (m_shared->kwin.isEmpty() || message.service() != m_shared->kwin) {
            lock.unlock();
            connection.send(message.createErrorReply(QDBusError::AccessDenied,
                                                     QStringLiteral("Only KWin reports here")));
            return true;
        }
        if (arguments.size() == 1 && arguments[0].typeId() == QMetaType::QString)
            take(arguments[0].toString().toUtf8());
        lock.unlock();
        m_shared->changed.notify_all();
        connection.send(message.createReply());
        return true;
    }

private:
    void take(const QByteArray& text) {
        if (text.size() > kMaxReportBytes)
            return;
        const QJsonObject report = QJsonDocument::fromJson(text).object();
        const QString request = report.value(QLatin1String("request")).toString();
        if (request == QLatin1String("watch")) {
            m_shared->watched(report);
        } else if (report.value(QLatin1String("serial")).toInteger() == m_shared->awaited) {
            m_shared->answer = text;
        }
    }
    std::shared_ptr<KWinWindows::Shared> m_shared;
};

struct KWinWindows::Connection {
    explicit Connection(const std::shared_ptr<Shared>& shared)
        : bus(QDBusConnection::connectToBus(
              QDBusConnection::SessionBus,
              QStringLiteral("velmora-kwin-%1").arg(reinterpret_cast<quintptr>(this)))),
          receiver(std::make_unique<Receiver>(shared)),
          watcher(kKWin, bus, QDBusServiceWatcher::WatchForOwnerChange) {
        receiver->moveToThread(&thread);
        thread.start();
        bus.registerVirtualObject(kPath, receiver.get());
        // A KWin that went away or was replaced runs none of the scripts loaded into the old one.
        QObject::connect(&watcher, &QDBusServiceWatcher::serviceOwnerChanged, &watcher,
                         [weak = std::weak_ptr(shared)] {
                             if (const auto shared = weak.lock()) {
                                 const std::lock_guard lock(shared->mutex);
                                 shared->forgetKWin();
                             }
                         });
    }
    ~Connection() {
        bus.unregisterObject(kPath);
        thread.quit();
        thread.wait();
        QDBusConnection::disconnectFromBus(bus.name());
    }

    // The reply's arguments, or the error's name and text.
    std::optional<QList<QVariant>> call(const QString& path, const QString& interface,
                                        const QString& method, const QList<QVariant>& arguments,
                                        QString& error, const QString& service = kKWin) {
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
        message.setArguments(arguments);
        const QDBusMessage reply = bus.call(message, QDBus::Block, int(kCallLimit.count()));
        if (reply.type() == QDBusMessage::ReplyMessage)
            return reply.arguments();
        error = reply.errorName() + QStringLiteral(": ") + reply.errorMessage();
        return std::nullopt;
    }

    QDBusConnection bus;
    QThread thread;
    std::unique_ptr<Receiver> receiver;
    QDBusServiceWatcher watcher;
    QTemporaryDir folder;
};

KWinWindows::KWinWindows(QString script)
    : m_shared(std::make_shared<Shared>()), m_scriptPath(std::move(script)) {
    m_connection = std::make_unique<Connection>(m_shared);
    if (m_connection->bus.isConnected())
        startWatching();
}

KWinWindows::~KWinWindows() {
    stopWatching();
    m_connection.reset();
}

void KWinWindows::becomeAbsent(const QString& why) {
    stopWatching();
    m_askAgainAt = Clock::now() + kPauseAfterFailure;
    if (m_said == why)
        return;
    m_said = why;
    NSLog(QStringLiteral("KWin's windows are not known (%1): no front application, window "
                         "titles, \"Hide Others\" or keystrokes for native windows")
              .arg(why));
}

std::optional<int> KWinWindows::load(const QString& request, quint64 window,
                                     const QString& plugin) {
    if (m_scriptBody.isEmpty()) {
        QFile body(m_scriptPath);
        if (!body.open(QIODevice::ReadOnly)) {
            becomeAbsent(QStringLiteral("no script at %1").arg(m_scriptPath));
            return std::nullopt;
        }
        m_scriptBody = body.readAll();
    }
    QString uuid;
    {
        const std::lock_guard lock(m_shared->mutex);
        const auto found = m_shared->uuids.find(window);
        if (found != m_shared->uuids.end())
            uuid = found->second;
        m_shared->awaited = m_requests;
        m_shared->answer.reset();
    }
    const QJsonObject header{{QStringLiteral("service"), m_connection->bus.baseService()},
                             {QStringLiteral("path"), kPath},
                             {QStringLiteral("interface"), kInterface},
                             {QStringLiteral("request"), request},
                             {QStringLiteral("serial"), qint64(m_requests)},
                             {QStringLiteral("pid"), qint64(::getpid())},
                             {QStringLiteral("window"), uuid}};
    QFile file(m_connection->folder.filePath(plugin + QStringLiteral(".js")));
    if (!m_connection->folder.isValid() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write("var velmora = " + QJsonDocument(header).toJson(QJsonDocument::Compact) +
                   ";\n") < 0 ||
        file.write(m_scriptBody) < 0 || !file.flush()) {
        becomeAbsent(QStringLiteral("the script could not be written"));
        return std::nullopt;
    }
    QString error;
    const auto id =
        m_connection->call(QStringLiteral("/Scripting"), kScripting, QStringLiteral("loadScript"),
                           {file.fileName(), plugin}, error);
    if (!id || id->isEmpty() || id->at(0).toInt() < 0) {
        becomeAbsent(id ? QStringLiteral("KWin refused the script") : error);
        return std::nullopt;
    }
    // Plasma 6 puts a loaded script under /Scripting; Plasma 5 at the root. The place that
    // answered is asked first from then on.
    const int number = id->at(0).toInt();
    const auto run = [&](bool underScripting) {
        const QString path = underScripting ? QStringLiteral("/Scripting/Script%1").arg(number)
                                            : QStringLiteral("/%1").arg(number);
        return m_connection->call(path, kScript, QStringLiteral("run"), {}, error).has_value();
    };
    if (run(m_scriptsUnderScripting))
        return number;
    if (run(!m_scriptsUnderScripting)) {
        m_scriptsUnderScripting = !m_scriptsUnderScripting;
        return number;
    }
    unload(plugin);
    becomeAbsent(error);
    return std::nullopt;
}

bool KWinWindows::unload(const QString& plugin) {
    QString error;
    return m_connection
        ->call(QStringLiteral("/Scripting"), kScripting, QStringLiteral("unloadScript"), {plugin},
               error)
        .has_value();
}

bool KWinWindows::startWatching() {
    QString error;
    const auto owner = m_connection->call(
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("GetNameOwner"), {kKWin}, error, QStringLiteral("org.freedesktop.DBus"));
    if (!owner || owner->isEmpty()) {
        becomeAbsent(QStringLiteral("KWin is not on the session bus"));
        return false;
    }
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->forgetKWin();
        m_shared->kwin = owner->at(0).toString();
    }
    // A watcher of this process may be left from a KWin that answered too late.
    unload(watchPlugin());
    if (!load(QStringLiteral("watch"), 0, watchPlugin()))
        return false;
    m_watchLoaded = true;
    m_watchLoadedAt = Clock::now();
    return true;
}

void KWinWindows::stopWatching() {
    if (m_watchLoaded)
        unload(watchPlugin());
    m_watchLoaded = false;
    const std::lock_guard lock(m_shared->mutex);
    m_shared->forgetKWin();
}

bool KWinWindows::available() {
    if (m_watchLoaded) {
        std::unique_lock lock(m_shared->mutex);
        if (!m_shared->kwin.isEmpty())
            return waitForFirstReport(lock);
        // KWin went away or was replaced since, and the script with it.
        m_watchLoaded = false;
    }
    if (Clock::now() < m_askAgainAt || !m_connection->bus.isConnected() || !startWatching())
        return false;
    std::unique_lock lock(m_shared->mutex);
    return waitForFirstReport(lock);
}

bool KWinWindows::waitForFirstReport(std::unique_lock<std::mutex>& lock) {
    if (!m_shared->changed.wait_until(lock, m_watchLoadedAt + kFirstReportLimit,
                                      [this] { return m_shared->reported; })) {
        lock.unlock();
        becomeAbsent(QStringLiteral("its script did not report"));
        return false;
    }
    if (m_said != QLatin1String("present")) {
        m_said = QStringLiteral("present");
        NSLog(QStringLiteral("KWin's windows are known through Velmora's script"));
    }
    return true;
}

std::optional<KWinWindow> KWinWindows::activeWindow() {
    if (!available())
        return std::nullopt;
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->front;
}

std::optional<QByteArray> KWinWindows::ask(const QString& request, quint64 window) {
    if (!available())
        return std::nullopt;
    ++m_requests;
    const QString plugin = QStringLiteral("velmora-ask-%1-%2").arg(::getpid()).arg(m_requests);
    if (!load(request, window, plugin))
        return std::nullopt;
    std::optional<QByteArray> answer;
    {
        std::unique_lock lock(m_shared->mutex);
        if (m_shared->changed.wait_for(lock, kAnswerLimit,
                                       [this] { return m_shared->answer.has_value(); }))
            answer = std::move(m_shared->answer);
        m_shared->answer.reset();
    }
    unload(plugin);
    if (!answer)
        becomeAbsent(QStringLiteral("its script did not answer \"%1\"").arg(request));
    return answer;
}

std::vector<KWinWindow> KWinWindows::windows() {
    std::vector<KWinWindow> found;
    const auto answer = ask(QStringLiteral("windows"), 0);
    if (!answer)
        return found;
    const QJsonArray list =
        QJsonDocument::fromJson(*answer).object().value(QLatin1String("windows")).toArray();
    const std::lock_guard lock(m_shared->mutex);
    for (const QJsonValue& window : list) {
        const QJsonObject object = window.toObject();
        found.push_back(
            readWindow(object, m_shared->idFor(object.value(QLatin1String("id")).toString())));
    }
    return found;
}

namespace {

bool done(const std::optional<QByteArray>& answer) {
    return answer && QJsonDocument::fromJson(*answer).object().value(QLatin1String("done")) ==
                         QJsonValue(true);
}

} // namespace

bool KWinWindows::exists(quint64 id) {
    return done(ask(QStringLiteral("exists"), id));
}

bool KWinWindows::hideOthers(quint64 front) {
    return done(ask(QStringLiteral("hideOthers"), front));
}

bool KWinWindows::activate(quint64 id) {
    return done(ask(QStringLiteral("activate"), id));
}

bool KWinWindows::waitUntilActive(quint64 id, std::chrono::milliseconds limit) {
    std::unique_lock lock(m_shared->mutex);
    return m_shared->changed.wait_for(
        lock, limit, [&] { return m_shared->active && m_shared->active->id == id; });
}

} // namespace platform::linuxdesk::kde
