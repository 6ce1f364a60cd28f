#include "platform/linux/wayland/WaylandConnection.h"

#include <QDeadlineTimer>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <wayland-client.h>

namespace platform::linuxdesk::wayland {

namespace {

using namespace std::chrono_literals;

// How long the compositor may take to announce its globals.
constexpr auto kConnectLimit = 1000ms;

int remainingMs(const QDeadlineTimer& deadline) {
    return int(std::max<qint64>(0, deadline.remainingTime()));
}

std::weak_ptr<WaylandConnection> gSession;

} // namespace

struct WaylandConnection::Registry {
    struct Announced {
        std::uint32_t name;
        QString interface;
        std::uint32_t version;
    };
    WaylandConnection* connection = nullptr;
    wl_registry* registry = nullptr;
    QList<Announced> globals;

    static void onGlobal(void* data, wl_registry*, std::uint32_t name, const char* interface,
                         std::uint32_t version) {
        static_cast<Registry*>(data)->globals.append(
            {name, QString::fromLatin1(interface), version});
    }
    static void onGlobalRemoved(void* data, wl_registry*, std::uint32_t name) {
        auto* known = static_cast<Registry*>(data);
        known->globals.removeIf([name](const Announced& global) { return global.name == name; });
        known->connection->withdraw(name);
    }
};

namespace {

const wl_registry_listener kRegistryListener{.global = &WaylandConnection::Registry::onGlobal,
                                             .global_remove =
                                                 &WaylandConnection::Registry::onGlobalRemoved};

} // namespace

std::shared_ptr<WaylandConnection> WaylandConnection::session() {
    std::shared_ptr<WaylandConnection> connection = gSession.lock();
    if (!connection || !connection->usable()) {
        connection = connect();
        gSession = connection;
    }
    return connection;
}

std::shared_ptr<WaylandConnection> WaylandConnection::connect() {
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_SOCKET"))
        return nullptr;
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return nullptr;
    std::shared_ptr<WaylandConnection> connection(new WaylandConnection(display));
    if (!connection->roundtrip(kConnectLimit))
        return nullptr;
    // Writing to a reader that went away, through a pipe the compositor handed over, would
    // otherwise end the process.
    std::signal(SIGPIPE, SIG_IGN);
    return connection;
}

WaylandConnection::WaylandConnection(wl_display* display)
    : m_display(display), m_registry(std::make_unique<Registry>()),
      m_notifier(
          std::make_unique<QSocketNotifier>(wl_display_get_fd(display), QSocketNotifier::Read)) {
    m_registry->connection = this;
    m_registry->registry = wl_display_get_registry(display);
    wl_registry_add_listener(m_registry->registry, &kRegistryListener, m_registry.get());
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { pump(0); });
}

// The protocol clients destroyed their objects before letting go of the connection.
WaylandConnection::~WaylandConnection() {
    m_notifier.reset();
    if (m_seat)
        wl_seat_destroy(m_seat);
    wl_registry_destroy(m_registry->registry);
    wl_display_disconnect(m_display);
}

std::optional<WaylandConnection::Global> WaylandConnection::global(const char* interface) const {
    for (const Registry::Announced& announced : m_registry->globals)
        if (announced.interface == QLatin1String(interface))
            return Global{announced.name, announced.version};
    return std::nullopt;
}

void* WaylandConnection::bind(const Global& global, const wl_interface* interface,
                              std::uint32_t maxVersion) {
    return wl_registry_bind(m_registry->registry, global.name, interface,
                            std::min(global.version, maxVersion));
}

wl_seat* WaylandConnection::seat() {
    if (!m_seat) {
        if (const auto found = global(wl_seat_interface.name))
            m_seat = static_cast<wl_seat*>(bind(*found, &wl_seat_interface, 1));
    }
    return m_seat;
}

int WaylandConnection::watch(std::vector<std::uint32_t> globals, Gone gone) {
    m_watches.emplace(m_nextWatch, Watch{std::move(globals), std::move(gone)});
    return m_nextWatch++;
}

void WaylandConnection::forget(int watch) {
    m_watches.erase(watch);
}

void WaylandConnection::withdraw(std::uint32_t name) {
    // A client may forget its watch as it hears.
    const std::map<int, Watch> watches = m_watches;
    for (const auto& [id, watch] : watches)
        if (m_watches.contains(id) && std::ranges::find(watch.globals, name) != watch.globals.end())
            watch.gone("the compositor withdrew it");
}

void WaylandConnection::fail(const char* why) {
    if (!m_usable)
        return;
    m_usable = false;
    m_notifier->setEnabled(false);
    const std::map<int, Watch> watches = m_watches;
    for (const auto& [id, watch] : watches)
        if (m_watches.contains(id))
            watch.gone(why);
}

bool WaylandConnection::flush() {
    if (m_usable && wl_display_flush(m_display) < 0 && errno != EAGAIN)
        fail("the connection to the compositor broke");
    return m_usable;
}

void WaylandConnection::pump(int timeoutMs) {
    if (!m_usable)
        return;
    while (wl_display_prepare_read(m_display) != 0) {
        if (wl_display_dispatch_pending(m_display) < 0) {
            fail("the connection to the compositor broke");
            return;
        }
    }
    wl_display_flush(m_display);
    pollfd ready{wl_display_get_fd(m_display), POLLIN, 0};
    if (poll(&ready, 1, timeoutMs) > 0) {
        if (wl_display_read_events(m_display) < 0) {
            fail("the connection to the compositor broke");
            return;
        }
    } else {
        wl_display_cancel_read(m_display);
    }
    if (wl_display_dispatch_pending(m_display) < 0 || wl_display_get_error(m_display))
        fail("the connection to the compositor broke");
}

bool WaylandConnection::roundtrip(std::chrono::milliseconds limit) {
    if (!m_usable)
        return false;
    bool done = false;
    wl_callback* callback = wl_display_sync(m_display);
    static const wl_callback_listener listener{
        .done = [](void* data, wl_callback* callback, std::uint32_t) {
            if (data)
                *static_cast<bool*>(data) = true;
            wl_callback_destroy(callback);
        }};
    wl_callback_add_listener(callback, &listener, &done);
    const QDeadlineTimer deadline(limit);
    while (!done && m_usable && !deadline.hasExpired())
        pump(remainingMs(deadline));
    // The answer may still come after this call has gone: it then finds nobody to tell.
    if (!done)
        wl_proxy_set_user_data(reinterpret_cast<wl_proxy*>(callback), nullptr);
    return done;
}

} // namespace platform::linuxdesk::wayland
