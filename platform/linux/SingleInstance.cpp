#include "platform/linux/SingleInstance.h"

#include "platform/local/files/PrivateFolder.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

namespace platform::linuxdesk {

namespace {

const QString kService = QStringLiteral("io.velmora.Velmora");
const QString kPath = QStringLiteral("/io/velmora/Velmora");
const QString kInterface = QStringLiteral("io.velmora.Velmora");
const QString kShowPreferences = QStringLiteral("ShowPreferences");
constexpr int kCallTimeoutMs = 5000;

} // namespace

// Answers the one method a later instance calls.
class SingleInstance::Receiver : public QDBusVirtualObject {
public:
    explicit Receiver(std::function<void()> showPreferences)
        : m_showPreferences(std::move(showPreferences)) {}
    QString introspect(const QString&) const override {
        return QStringLiteral("<interface name=\"%1\"><method name=\"%2\"/></interface>")
            .arg(kInterface, kShowPreferences);
    }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != kInterface || message.member() != kShowPreferences)
            return false;
        connection.send(message.createReply());
        m_showPreferences();
        return true;
    }

private:
    std::function<void()> m_showPreferences;
};

SingleInstance::SingleInstance(const QByteArray& folder, std::function<void()> showPreferences)
    : m_receiver(std::make_unique<Receiver>(std::move(showPreferences))) {
    // A folder or lock file that cannot be had (a read-only home, say) leaves the decision to
    // the bus; only a lock that another holds means another Velmora runs.
    if (const auto privateFolder =
            folder.startsWith('/') ? platform::PrivateFolder::open(folder) : std::nullopt) {
        platform::FileDescriptor lock(::open((privateFolder->path() + "/instance.lock").constData(),
                                             O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (lock.valid()) {
            if (::flock(lock.get(), LOCK_EX | LOCK_NB) == 0) {
                m_lock = std::move(lock);
            } else if (errno == EWOULDBLOCK) {
                m_first = false;
                return;
            }
        }
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    const auto reply =
        bus.interface()->registerService(kService, QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        m_first = false;
        return;
    }
    m_ownsName = true;
    bus.registerVirtualObject(kPath, m_receiver.get());
}

SingleInstance::~SingleInstance() {
    if (!m_ownsName)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        bus.unregisterObject(kPath);
        bus.interface()->unregisterService(kService);
    }
}

bool SingleInstance::askFirstToShowPreferences() {
    const QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, kShowPreferences);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, kCallTimeoutMs).type() ==
           QDBusMessage::ReplyMessage;
}

} // namespace platform::linuxdesk
